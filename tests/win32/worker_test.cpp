// The inspector's picture work on its worker thread, over enhanced
// metafiles made here of up to hundreds of thousands of records: a play
// cancelled by a close, a new reading or the inspector's end shows nothing
// of it, and the inspector goes at once; a play stops at its bound, keeps
// what it drew and says how far it came.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <vector>

#include "fakes/fake_clipboard.h"
#include "fakes/recording_messages.h"
#include "inspector/win32_format_inspector_form.h"
#include "win32/inspector_settles.h"
#include "win32/pixels.h"

namespace norvane {
namespace {

using ::testing::HasSubstr;
using testing::InspectorSettles;
using ::testing::Not;
using testing::PumpFor;
using testing::PumpUntil;
using testing::RecordingMessages;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

// An enhanced metafile of `rectangles` rectangles of `colour` over the whole
// of its frame, one record each.
Bytes RectanglesMetafile(std::uint32_t rectangles, COLORREF colour) {
    const RECT frame{0, 0, 2000, 1000};  // hundredths of a millimetre
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    const int width = MulDiv(20, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, HORZSIZE));
    const int height = MulDiv(10, GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, VERTSIZE));
    HBRUSH brush = CreateSolidBrush(colour);
    SelectObject(dc, brush);
    SelectObject(dc, GetStockObject(NULL_PEN));
    for (std::uint32_t i = 0; i < rectangles; ++i) Rectangle(dc, 0, 0, width + 1, height + 1);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    DeleteObject(brush);
    Bytes bytes(GetEnhMetaFileBits(metafile, 0, nullptr));
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    DeleteEnhMetaFile(metafile);
    return bytes;
}

std::uint32_t RecordsOf(const Bytes& metafile) {
    ENHMETAHEADER header{};
    std::memcpy(&header, metafile.data(), sizeof header);
    return header.nRecords;
}

// The inspector on CF_ENHMETAFILE, read from a fake clipboard.
struct MetafileWork : ::testing::Test {
    // Long to play: seconds under Wine.
    static void SetUpTestSuite() { slow = new Bytes(RectanglesMetafile(300000, kRed)); }
    static void TearDownTestSuite() { delete slow; }
    static inline Bytes* slow = nullptr;

    testing::FakeClipboard clipboard;
    RecordingMessages messages;
    std::optional<TFormat_Inspector_Form> inspector;

    MetafileWork() {
        clipboard.formats = {{14, ""}};
        inspector.emplace(messages, clipboard, nullptr);
    }
    void Place(const Bytes& metafile) {
        clipboard.data[14] = FormatData{DataKind::EnhancedMetafile, metafile};
    }
    void Show(MetafilePlayBound bound) {
        inspector->Picture().SetPlayBound(bound);
        inspector->SetFormat(14, "CF_ENHMETAFILE (Predefined) [14]");
        inspector->Show();
        // Read on the reader's worker, then played on the preview's.
        ASSERT_TRUE(PumpUntil([&] { return !inspector->ReadingUnderWay(); }));
    }
    std::string Header() {
        return inspector->TextOf(inspector->Get(InspectorFormPart::Header_Label));
    }
    COLORREF Middle() {
        RECT client{};
        GetClientRect(inspector->Picture().Handle(), &client);
        testing::Canvas canvas(client.right, client.bottom, RGB(1, 2, 3));
        inspector->Picture().Draw(canvas.dc(), client);
        return canvas.At(client.right / 2, client.bottom / 2);
    }
};

// Played whole, unless cancelled: minutes of records.
constexpr MetafilePlayBound kNoBound{1u << 30, std::chrono::minutes(10)};
// Would say "Played the first 200000 of ..." if its result were ever shown.
constexpr MetafilePlayBound kTwoThirds{200000, std::chrono::minutes(10)};

enum class Cancel { Close, NewReading, End };

struct CancelCase {
    const char* name;
    Cancel by;
};

class CancelledPlay : public MetafileWork, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelledPlay, ShowsNothingOfItAndEndsAtOnce) {
    Place(*slow);
    Show(kTwoThirds);
    EXPECT_THAT(Header(), HasSubstr("\r\nPlaying the metafile...\r\n"));
    PumpFor(300ms);  // the window answers meanwhile
    ASSERT_TRUE(inspector->Picture().Working()) << "the play ended too soon to be cancelled";
    const auto start = std::chrono::steady_clock::now();
    switch (GetParam().by) {
        case Cancel::Close:
            inspector->Hide();  // as Close hides the inspector the list owns
            EXPECT_TRUE(InspectorSettles(*inspector, 20s));
            break;
        case Cancel::NewReading:
            Place(RectanglesMetafile(10, kBlue));
            inspector->Refresh_BitBtnClick();
            EXPECT_TRUE(InspectorSettles(*inspector, 20s));
            EXPECT_EQ(Middle(), kBlue);
            EXPECT_THAT(Header(), Not(HasSubstr("Playing")));
            break;
        case Cancel::End:
            inspector.reset();
            PumpFor(300ms);  // nothing posted reaches the window gone
            break;
    }
    // Far less than the seconds its 200000 records take.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    if (inspector) {
        PumpFor(300ms);
        EXPECT_THAT(Header(), Not(HasSubstr("Played the first")));
        EXPECT_NE(Middle(), kRed);
    }
    EXPECT_TRUE(messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Inspector, CancelledPlay,
                         ::testing::Values(CancelCase{"Close", Cancel::Close},
                                           CancelCase{"NewReading", Cancel::NewReading},
                                           CancelCase{"End", Cancel::End}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MetafileWork, PlayedAsFarAsItsBoundAndSaidSo) {
    const Bytes metafile = RectanglesMetafile(3000, kGreen);
    Place(metafile);
    Show({1000, std::chrono::minutes(10)});
    ASSERT_TRUE(InspectorSettles(*inspector));
    EXPECT_THAT(Header(), HasSubstr("\r\nPlayed the first 1000 of " +
                                    std::to_string(RecordsOf(metafile)) + " records.\r\n"));
    EXPECT_EQ(Middle(), kGreen);  // what its first records drew

    // Within its bound: played whole, nothing said.
    Show(kMetafilePlayBound);
    ASSERT_TRUE(InspectorSettles(*inspector));
    EXPECT_THAT(Header(), Not(HasSubstr("Played")));
    EXPECT_EQ(Middle(), kGreen);
}

TEST_F(MetafileWork, AResizeReplaysOnTheWorkerShowingTheLastPlayMeanwhile) {
    Place(*slow);
    Show(kNoBound);
    const HWND view = inspector->Picture().Handle();
    // Not waited for: each size cancels the play before.
    for (const int width : {300, 280, 260})
        SetWindowPos(view, nullptr, 0, 0, width, 150, SWP_NOMOVE | SWP_NOZORDER);
    Place(RectanglesMetafile(10, kBlue));
    Show(kNoBound);
    ASSERT_TRUE(InspectorSettles(*inspector));
    EXPECT_EQ(Middle(), kBlue);
    const int plays = inspector->Picture().MetafilePlays();
    SetWindowPos(view, nullptr, 0, 0, 200, 120, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(inspector->Picture().MetafilePlays(), plays + 1);
    EXPECT_TRUE(inspector->Picture().Working());
    EXPECT_NE(Middle(), GetSysColor(COLOR_APPWORKSPACE));  // the last play, as it was
    ASSERT_TRUE(InspectorSettles(*inspector));
    EXPECT_EQ(Middle(), kBlue);
}

// Work that says it began, then waits until the test lets it end.
struct HeldWork final : WorkItem {
    HeldWork(HANDLE began, HANDLE release) : began(began), release(release) {}
    void Run(const WorkCancel&) override {
        SetEvent(began);
        WaitForSingleObject(release, 10000);
    }
    HANDLE began, release;
};

// A worker gone while its work is inside a call that cannot be cancelled
// leaves its thread to end alone; the program's end waits for it.
TEST(WorkerLeftToEnd, TheProgramsEndWaitsForItsThread) {
    const UniqueKernelHandle began(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const UniqueKernelHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const HWND window =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    {
        Worker worker(window, WM_APP);
        worker.Start(std::make_unique<HeldWork>(began.get(), release.get()));
        ASSERT_EQ(WaitForSingleObject(began.get(), 5000), WAIT_OBJECT_0);
    }
    DestroyWindow(window);
    EXPECT_FALSE(Worker::EndLeftWorkers(100ms));
    SetEvent(release.get());
    EXPECT_TRUE(Worker::EndLeftWorkers(5s));
    EXPECT_TRUE(Worker::EndLeftWorkers(0ms));  // none is left
}
}  // namespace
}  // namespace norvane
