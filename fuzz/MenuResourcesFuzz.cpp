// The menu and toolbar resource readers on damaged bytes: they stop at the end of what they are
// given, whatever the records claim.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "toolkit/foundation/MenuResources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const auto command = input.take<std::int32_t>();
    const std::string_view bytes = input.rest();
    // Exactly as many words as the bytes hold, in a buffer of that size, so that a read past the
    // end is caught.
    std::vector<std::uint16_t> words(bytes.size() / 2);
    if (!words.empty()) std::memcpy(words.data(), bytes.data(), words.size() * 2);
    YYReadMenuPopupIds(words);
    YYReadToolbarResource(words);
    const std::string records(bytes);
    std::string text;
    YYMenuStringLookUp(records, command, text);
    return 0;
}
