// A form: a top-level window whose layout is data, one table of components
// created in order at construction, and whose behaviour is a set of
// handlers. Every message reaches its handler through one dispatch path and
// one guard.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "ui/graphic_control.h"
#include "ui/handles.h"
#include "ui/message_dialog.h"
#include "ui/window.h"

namespace norvane {

class Form;

// Where a component's context menu was asked for: a point of the screen
// (a right click), or the keyboard (Shift+F10, the menu key), when the menu
// opens at the component's own focus.
struct PopupRequest {
    POINT screen{};
    bool fromKeyboard = false;
};

// A column of a ListView component. It is as wide as its design width scaled to the screen, and
// never narrower than its caption or its usual contents (`sample`) in the list's font; a `fill`
// column takes the room the others leave.
struct ListColumn {
    const char* caption = "";
    int width = 0;  // design pixels
    bool alignRight = false;
    const char* sample = "";
    bool fill = false;
};

// The text of one cell that a ListView asks its form for as it draws it:
// line `line` (0 at the top), column `column`.
struct ListCellRequest {
    std::size_t line = 0;
    int column = 0;
    std::string text;  // the handler's answer
};

using Handler = void (Form::*)();
using PopupHandler = void (Form::*)(const PopupRequest&);
using CellHandler = void (Form::*)(ListCellRequest&);

// A handler of the form TForm, kept as one of Form: what Bind makes for a
// layout table, which takes only its own form's handlers.
template <class TForm, class... Args>
struct FormHandler {
    void (Form::*run)(Args...) = nullptr;
};

template <class Member>
struct FormHandlerTraits;
template <class TForm, class... Args>
struct FormHandlerTraits<void (TForm::*)(Args...)> {
    using Bound = FormHandler<TForm, Args...>;
    using Erased = void (Form::*)(Args...);
};

// Binds a handler of a form into its layout table:
// `.onClick = Bind<&TMyForm::OkClick>`. (The conversion is made here, from
// a constant, since compilers do not all convert member pointers held in
// variables during constant evaluation.)
template <auto handler>
constexpr typename FormHandlerTraits<decltype(handler)>::Bound Bind{
    static_cast<typename FormHandlerTraits<decltype(handler)>::Erased>(handler)};

enum class ComponentKind {
    BitBtn,  // owner-drawn button with a glyph
    Button,
    ListBox,
    // A label not sized to its text (kAutoSize) grows to hold it in its
    // font: one line as wide as it is, or the lines it breaks into at its
    // width as tall as they are.
    Label,
    Panel,     // raised box with a centred caption
    RichEdit,  // rich edit box, word-wrapped: plain text unless kRichText
    Picture,   // a bitmap at its natural size from the top-left corner
    Image,     // a placeable Windows metafile stretched over the component
    Timer,     // a message-driven timer: its handler runs every `interval` ms while enabled
    MainMenu,
    MenuItem,
    ProgressBar,  // the system's progress bar: PBM_SETRANGE32, PBM_SETPOS
    // Report-style list of whole-line selection whose lines the form holds:
    // `columns` head it, and each cell's text comes from `onCellText` only
    // when it is drawn, so a list of any length costs nothing to fill; the
    // texts are UTF-8. A line's tooltip comes from `onLineTip` (column -1).
    ListView,
    // Windowless: painted and hit-tested by the form, beneath its child windows.
    GroupBox,  // etched frame with an optional caption; may hold other components
    Bevel,     // raised frame
    Graphic,   // any other windowless control, made by the entry's `graphic` maker
};

struct FontSpec {
    const char* face = nullptr;  // nullptr: the form's face
    int height = 0;              // design pixels, negative for a character height; 0: the form's
    bool bold = false;
    bool underline = false;
};

// Component flags.
inline constexpr unsigned kHidden = 1u << 0;
inline constexpr unsigned kDisabled = 1u << 1;
inline constexpr unsigned kAlignClient = 1u << 2;     // fills the client area, also on resize
inline constexpr unsigned kAutoSize = 1u << 3;        // labels: sized to their text
inline constexpr unsigned kNoWordWrap = 1u << 4;      // labels: one line
inline constexpr unsigned kCenterText = 1u << 5;      // labels: lines centred
inline constexpr unsigned kDefault = 1u << 6;         // buttons: the one Enter presses
inline constexpr unsigned kRichText = 1u << 7;        // rich edit boxes: rich text, as RTF gives it
inline constexpr unsigned kVerticalScroll = 1u << 8;  // rich edit boxes: a vertical scroll bar

// A colour as 0x00BBGGRR; kSystemColor leaves the system's colour.
inline constexpr std::uint32_t kSystemColor = 0xFFFFFFFF;
inline constexpr std::uint32_t kBlue = 0x00FF0000;

// An entry of a layout table by its index; a form names its entries by
// their enumerators (FormOf).
class LayoutIndex {
  public:
    constexpr LayoutIndex() = default;
    constexpr explicit LayoutIndex(std::size_t index) : index_(static_cast<int>(index)) {}
    constexpr bool IsSet() const { return index_ >= 0; }
    constexpr std::size_t Value() const { return static_cast<std::size_t>(index_); }
    friend constexpr bool operator==(LayoutIndex, LayoutIndex) = default;

  private:
    int index_ = -1;
};

// A component as a layout table describes it. `Owner` is the form whose
// handlers it names, `Index` how it names a table entry: a form writes its
// table as ComponentDesign (its own handlers, its entries by enumerator),
// which LayoutOf turns into the ComponentSpec the form layer keeps.
template <class Owner, class Index>
struct BasicComponentSpec {
    Index part{};  // ComponentDesign: the entry's own enumerator
    const char* name = "";
    ComponentKind kind{};
    // Menu items: the parent item or the menu bar. Other components: a
    // GroupBox whose top-left their bounds are relative to, or none.
    Index parent{};
    int left = 0, top = 0, width = 0, height = 0;
    const char* caption = "";
    FontSpec font{};
    unsigned flags = 0;
    int glyph = 0;         // bitmap resource: 16x16 picture, then its disabled picture
    int glyphMargin = -1;  // pixels from the left edge to the glyph; -1: glyph and caption centred
    const char* hint = nullptr;
    FormHandler<Owner> onClick{};
    FormHandler<Owner> onDblClick{};  // list boxes: a double-click on a line
    // The component's context menu is asked for.
    FormHandler<Owner, const PopupRequest&> onContextPopup{};
    int itemHeight = 0;                                 // list boxes
    std::span<const ListColumn> columns{};              // list views
    FormHandler<Owner, ListCellRequest&> onCellText{};  // list views
    FormHandler<Owner, ListCellRequest&> onLineTip{};   // list views
    std::uint32_t textColor = kSystemColor;             // labels
    FormHandler<Owner> onTimer{};                       // timers
    UINT interval = 0;                                  // timers, milliseconds
    // Raw picture bytes. Image: a placeable metafile. Graphic: handed to
    // its maker (an animated picture's "Data" property, say).
    std::span<const std::uint8_t> data{};
    const GraphicMaker* graphic = nullptr;  // Graphic: makes its control
};

using ComponentSpec = BasicComponentSpec<Form, LayoutIndex>;

struct FormSpec {
    const char* className;
    const char* caption;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height;  // outer bounds, or the client size if clientSized
    bool clientSized;
    FontSpec font;
    int designDpi;         // pixels per inch the layout was made at
    int designTextHeight;  // the form font's text height there
    std::span<const ComponentSpec> components;
    int icon = 0;  // icon resource of the window class
    // The components are made when first reached (Find, Components) or at
    // the first showing, not with the window: for a dialog that the program
    // makes at start and may never show. `components` must then outlive it.
    bool componentsOnDemand = false;
    // Shown beside the program's other forms, never over them: another
    // form's modal showing leaves it enabled.
    bool modeless = false;
};

// The keys with which an edit box puts its selection on the clipboard,
// which the program's boxes never do (as the key's thread sees them).
bool IsCopyKey(WPARAM key);
// The rich edit box's window class, registered by its library; on the
// windows' thread. Throws when the library cannot be loaded.
void LoadRichEditLibraryOnce();

class Form : public Window {
  public:
    // Every component, menu items included, has identifier 100 + its index.
    static constexpr UINT kFirstComponentId = 100;

    struct Component {
        std::string name;
        ComponentKind kind;
        UINT id = 0;
        HWND hwnd = nullptr;   // controls
        HMENU menu = nullptr;  // menu items: the menu holding the item
        HMENU submenu = nullptr;
        Handler onClick = nullptr;
        Handler onDblClick = nullptr;
        PopupHandler onContextPopup = nullptr;
        CellHandler onCellText = nullptr;
        CellHandler onLineTip = nullptr;
        Handler onTimer = nullptr;
        UINT interval = 0;
        bool timerRunning = false;
        std::uint32_t textColor = kSystemColor;
        int glyphMargin = -1;
        int glyph = 0;  // its image list is loaded when the button is first drawn
        std::string hint;
        std::string fontFace;
        int fontHeight = 0;  // pixels at the screen's resolution
        bool bold = false, underline = false;
        unsigned flags = 0;
        UniqueFont font;
        UniqueImageList glyphs;
        UniqueBitmap picture;                     // Picture components
        std::span<const std::uint8_t> data;       // Image components: the placeable metafile,
        UniqueEnhMetafile metafile;               // made an enhanced one at its first drawing
        std::unique_ptr<GraphicControl> graphic;  // windowless components
        Component* container = nullptr;           // windowless: the GroupBox holding it
        HCURSOR cursor = nullptr;                 // none: the window's own
        bool IsControl() const { return hwnd != nullptr || graphic != nullptr; }
    };

    // Where an owner-drawn button draws its glyph (empty when it has none)
    // and its caption of the size `text`, within its rectangle `r`.
    struct BitBtnPlaces {
        RECT glyph{};
        RECT text{};
    };

    Form(const FormSpec& design, MessageDialog& messages, HWND owner);
    ~Form() override;

    // Runs FormShow, then makes sure the window is displayed.
    void Show();
    // Shows the form with the program's other windows disabled, until it is
    // closed. Its components are made before anything is disabled; however
    // it ends, what it disabled is enabled again.
    void ShowModal();
    // As the caption-bar close button: FormCloseQuery, then hide (or end the program).
    void Close();
    void Hide();

    std::vector<Component>& Components() {
        CreateComponentsOnce();
        return components_;
    }
    // Whether the components exist, all of them: a form that makes them on
    // demand has none until they are first needed.
    bool HasComponents() const { return componentState_ == ComponentState::Made; }
    bool IsModeless() const { return modeless_; }

    std::string Caption() const;
    void SetCaption(std::string_view caption);
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    Bounds OuterBounds() const;  // screen pixels
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);

    Bounds BoundsOf(const Component& c) const;  // relative to the client area
    void SetBoundsOf(Component& c, const Bounds& b);
    int FontSizeOf(const Component& c) const;  // points
    void SetFontSizeOf(Component& c, int points);
    bool IsChecked(const Component& item) const;
    void SetChecked(Component& item, bool checked);
    void SetVisible(Component& c, bool visible);
    void SetEnabled(Component& c, bool enabled);
    std::string TextOf(const Component& c) const;
    // The hint shows as a tooltip only on components designed with one.
    const std::string& HintOf(const Component& c) const { return c.hint; }
    void SetHintOf(Component& c, std::string_view hint);
    void SetTextOf(Component& c, std::string_view text);
    bool IsVisible(const Component& c) const {
        return c.graphic ? c.graphic->Visible() : IsWindowVisible(c.hwnd);
    }
    // Timers: running; other components: taking input.
    bool IsEnabled(const Component& c) const;
    // Gives a control a new, empty window made like its present one (class,
    // styles, bounds, font, place in the drawing order, hint), which is
    // destroyed. Cheaper than emptying a rich edit box that holds much text.
    void RecreateWindowOf(Component& c);
    // List views: the number of lines, of which `addedAtTop` are new above
    // the others. The selected line stays on what it showed (none when that
    // went past the end); a list scrolled away from its top keeps the lines
    // it shows in place, one at its top shows the new ones. The lines in view
    // are drawn again; nothing takes the focus.
    void SetLineCount(Component& list, std::size_t count, std::size_t addedAtTop = 0);
    std::size_t LineCountOf(const Component& list) const;
    // The width a list view's column has for its cells' text.
    int TextRoomOf(const Component& list, int column) const;
    // The selected line of a list view; none when none is.
    std::optional<std::size_t> SelectedLineOf(const Component& list) const;
    void SelectLine(Component& list, std::optional<std::size_t> line);
    // The first line in view.
    std::size_t TopLineOf(const Component& list) const;
    // Gives a Picture component its bitmap, which it owns from then on.
    void SetPicture(Component& c, HBITMAP bitmap);
    // Lays the kAlignClient components over the whole client area.
    void AlignClientComponents();
    // With key preview on, FormKeyDown sees every key press before the
    // focused control does.
    void SetKeyPreview(bool on) { keyPreview_ = on; }
    bool PreviewKey(WPARAM key) override;

    BitBtnPlaces PlaceBitBtn(const Component& c, const RECT& r, SIZE text, bool pushed) const;
    // Design pixels as the form's layout is scaled to the screen.
    int Scaled(int designPixels) const;

    // The control behind a windowless component; none for a window.
    GraphicControl* GraphicOf(Component& c) {
        LoadWindowlessOnce();
        return c.graphic.get();
    }
    // The windowless control behind a component, as the type it was made;
    // a logic_error when it is none of that type.
    template <class Control>
    Control& ControlOf(Component& c);
    // The pointer over the component, child window or windowless.
    void SetCursorOf(Component& c, HCURSOR cursor);
    // The drawing order: windowless among windowless, windows among windows.
    void SendToBack(Component& c);
    void BringToFront(Component& c);

  protected:
    // Once every component exists (at construction, or when first needed).
    virtual void ComponentsMade() {}
    virtual void FormShow() {}
    // Each time Hide (or a close) hides the form.
    virtual void FormHide() {}
    // Each time the window becomes visible, however it was hidden: by Hide,
    // or by the system with its minimised owner, which shows it again on
    // restoring without Show.
    virtual void FormVisible() {}
    virtual void FormResize() {}
    virtual void FormCloseQuery(bool& /*canClose*/) {}
    // Each time the form becomes the program's active form.
    virtual void FormActivate() {}
    // Key presses while key preview is on; clearing `key` keeps it from the control.
    virtual void FormKeyDown(WORD& /*key*/) {}
    // The clipboard changed, for a form whose window listens to it
    // (ClipboardListener).
    virtual void FormClipboardUpdate() {}

    MessageDialog& Messages() { return messages_; }
    // The component of the layout entry at `index`; FormOf names it by type.
    Component& ComponentAt(LayoutIndex index) {
        CreateComponentsOnce();
        return components_.at(index.Value());
    }
    // The text of the layout entry at `index`, also before the components
    // of a form that makes them on demand exist: kept until then, and
    // given to the component when it is made.
    std::string TextAt(LayoutIndex index) const;
    void SetTextAt(LayoutIndex index, std::string_view text);
    template <class F>
    void Guarded(F&& handler);

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    enum class ComponentState { None, Making, Made };

    void CreateComponentsOnce();
    void CreateComponents(std::span<const ComponentSpec> designs);
    // Undoes a making that failed half-way, so that the next need tries again.
    void DestroyComponents() noexcept;
    void TakeDesign(Component& c, const ComponentSpec& design);
    void CreateMenuItem(Component& c, const ComponentSpec& design,
                        std::span<const ComponentSpec> designs);
    void CreateControl(Component& c, const ComponentSpec& design, POINT origin);
    void MakeFont(Component& c);
    void FitToText(Component& c, std::string_view text);
    // A label of a fixed size grows to hold its text in its font.
    void GrowToText(Component& c, std::string_view text);
    // The hints' tooltip, made with the components.
    void MakeTooltipOnce();
    void AddTool(const Component& c);
    bool RunCommand(WPARAM wParam, LPARAM lParam);
    // A control's WM_NOTIFY; false for one the default handling answers.
    bool RunNotify(NMHDR& note, LRESULT& result);
    bool RunContextPopup(HWND control, LPARAM where);
    bool RunKeyboardPopup(WPARAM key);
    void DrawItem(const DRAWITEMSTRUCT& item);
    void CloseOrHide();
    void SaveBeforeEndSession() noexcept;
    void DrawBitBtn(Component& c, const DRAWITEMSTRUCT& item);
    void DrawPicture(Component& c, const DRAWITEMSTRUCT& item);
    void DrawImage(Component& c, const DRAWITEMSTRUCT& item);
    LRESULT ColorStatic(HDC dc, HWND control);
    LRESULT DefaultButtonId();
    void RunTimer(UINT id);
    Component* FindById(UINT id);
    Component* FindByWindow(HWND control);

    // List views: form_list_view.cpp.
    void SetUpListView(Component& c, const ComponentSpec& design);
    bool RunListNotify(Component& c, NMHDR& note, LRESULT& result);
    // The width of a column that shows `text` whole in the list's font.
    int ListCellWidth(const Component& list, std::string_view text) const;

    // Windowless components: form_windowless.cpp.
    void CreateWindowless(Component& c, const ComponentSpec& design, POINT origin);
    LRESULT OnWindowlessMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void EraseBackground(HDC dc);
    void PaintWindowless(HDC dc);
    void OnPaint(HDC given);
    bool PressWindowless(POINT p, bool doubleClick);
    bool MoveOverWindowless(POINT p);
    bool ReleaseWindowless(POINT p);
    GraphicControl* WindowlessAt(POINT client);
    bool SetCursorAt(HWND window);
    // What they decode (a GIF's frames) waits until they are first needed.
    void LoadWindowlessOnce();

    MessageDialog& messages_;
    std::span<const ComponentSpec> designs_;  // until the components are made
    std::vector<Component> components_;
    ComponentState componentState_ = ComponentState::None;
    std::map<std::size_t, std::string> textsBeforeComponents_;
    bool windowlessLoaded_ = false;
    std::string fontFace_;
    int fontHeight_ = 0;
    int dpi_ = 96;
    int designDpi_ = 96;
    int scaleNumerator_ = 1, scaleDenominator_ = 1;
    HMENU menuBar_ = nullptr;
    HWND tooltip_ = nullptr;
    std::vector<Component*> hinted_;           // designed with a hint
    std::vector<GraphicControl*> windowless_;  // bottom first
    GraphicControl* pressed_ = nullptr;        // the button went down over it
    bool clickPending_ = false;
    bool constructed_ = false;
    bool modal_ = false;
    bool modalDone_ = false;
    bool isMainForm_ = false;
    bool modeless_ = false;
    bool keyPreview_ = false;
    // A cell's text is being asked: an error box shown meanwhile paints
    // the list again, whose cells then stay empty rather than fail again.
    bool askingCellText_ = false;
};

// A form whose layout entries are named by the enumeration PartT, whose
// last enumerator is `Count`: its components, and their texts before they
// are made, are reached by those names alone.
template <class PartT>
requires std::is_enum_v<PartT>
class FormOf : public Form {
  public:
    using Part = PartT;
    static constexpr std::size_t kParts = static_cast<std::size_t>(Part::Count);

    using Form::Form;
    Component& Get(Part part) { return ComponentAt(IndexOf(part)); }
    std::string TextAt(Part part) const { return Form::TextAt(IndexOf(part)); }
    void SetTextAt(Part part, std::string_view text) { Form::SetTextAt(IndexOf(part), text); }

  private:
    static constexpr LayoutIndex IndexOf(Part part) {
        return LayoutIndex(static_cast<std::size_t>(part));
    }
};

// An entry of the layout table of the form TForm: the part it is, and
// every other part it names, by TForm's enumerators; its handlers TForm's.
template <class TForm>
using ComponentDesign = BasicComponentSpec<TForm, std::optional<typename TForm::Part>>;

enum class LayoutProblem { None, EntryWithoutPart, PartTwice, ParentNotBefore };

// What is wrong with a layout table whose entries name parts of Part.
template <class Owner, class Part, std::size_t N>
constexpr LayoutProblem ProblemOf(
    const BasicComponentSpec<Owner, std::optional<Part>> (&entries)[N]) {
    std::array<bool, N> named{};
    for (const auto& entry : entries) {
        if (!entry.part || static_cast<std::size_t>(*entry.part) >= N)
            return LayoutProblem::EntryWithoutPart;
        if (named[static_cast<std::size_t>(*entry.part)]) return LayoutProblem::PartTwice;
        named[static_cast<std::size_t>(*entry.part)] = true;
        // The form makes its components in the order of its enumeration.
        if (entry.parent && *entry.parent >= *entry.part) return LayoutProblem::ParentNotBefore;
    }
    return LayoutProblem::None;
}

// The layout table of the form TForm as the form layer keeps it: one
// entry for each part, at the place of its enumerator, whatever the order
// the entries are written in. A table made at compile time that has a
// problem does not compile, the error pointing at the line that names it.
template <class TForm, std::size_t N>
constexpr std::array<ComponentSpec, N> LayoutOf(const ComponentDesign<TForm> (&entries)[N]) {
    static_assert(N == TForm::kParts, "a layout table has one entry for each part of its form");
    switch (ProblemOf(entries)) {
        case LayoutProblem::None:
            break;
        case LayoutProblem::EntryWithoutPart:
            throw std::logic_error("a layout entry names no part of its form");
        case LayoutProblem::PartTwice:
            throw std::logic_error("two layout entries name the same part");
        case LayoutProblem::ParentNotBefore:
            throw std::logic_error("a layout entry's parent comes after it in the enumeration");
    }
    auto index = [](auto part) { return LayoutIndex(static_cast<std::size_t>(part)); };
    std::array<ComponentSpec, N> table{};
    for (const ComponentDesign<TForm>& d : entries) {
        ComponentSpec& s = table[index(*d.part).Value()];
        s.part = index(*d.part);
        s.name = d.name;
        s.kind = d.kind;
        if (d.parent) s.parent = index(*d.parent);
        s.left = d.left;
        s.top = d.top;
        s.width = d.width;
        s.height = d.height;
        s.caption = d.caption;
        s.font = d.font;
        s.flags = d.flags;
        s.glyph = d.glyph;
        s.glyphMargin = d.glyphMargin;
        s.hint = d.hint;
        s.onClick.run = d.onClick.run;
        s.onDblClick.run = d.onDblClick.run;
        s.onContextPopup.run = d.onContextPopup.run;
        s.itemHeight = d.itemHeight;
        s.columns = d.columns;
        s.onCellText.run = d.onCellText.run;
        s.onLineTip.run = d.onLineTip.run;
        s.textColor = d.textColor;
        s.onTimer.run = d.onTimer.run;
        s.interval = d.interval;
        s.data = d.data;
        s.graphic = d.graphic;
    }
    return table;
}

}  // namespace norvane

#include "ui/guard.h"

template <class F>
void norvane::Form::Guarded(F&& handler) {
    RunGuarded(messages_, std::forward<F>(handler));
}

template <class Control>
Control& norvane::Form::ControlOf(Component& c) {
    auto* control = dynamic_cast<Control*>(GraphicOf(c));
    if (!control) throw std::logic_error("not a control of that kind: " + c.name);
    return *control;
}
