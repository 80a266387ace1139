#include "cli/list_input.h"

namespace vardane::cli {

// A name is bytes: a byte-order mark at the start of the list is part of the
// first name.
ListBytes listBytes(std::FILE* in)
{
    return [in] { return std::getc(in); };
}

}  // namespace vardane::cli
