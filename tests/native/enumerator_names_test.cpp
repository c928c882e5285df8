// An enumeration checked against the table it names, at compile time: the
// table's order and spelling, and no entry more or less.
#include "util/enumerator_names.h"

#include <array>

namespace norvane {
namespace {

enum class Part { Go_Button, Box };
struct Entry {
    const char* name;
};

static_assert(EnumeratorName<Part::Box>() == "Box");
static_assert(EnumeratorName<static_cast<Part>(2)>().empty());  // no enumerator has it

static_assert(NamesInOrder<Part>(std::array{Entry{"Go_Button"}, Entry{"Box"}}));
static_assert(!NamesInOrder<Part>(std::array{Entry{"Box"}, Entry{"Go_Button"}}));
static_assert(!NamesInOrder<Part>(std::array{Entry{"Go_Buton"}, Entry{"Box"}}));
static_assert(!NamesInOrder<Part>(std::array{Entry{"Go_Button"}}));
static_assert(!NamesInOrder<Part>(std::array{Entry{"Go_Button"}, Entry{"Box"}, Entry{"Box"}}));

}  // namespace
}  // namespace norvane
