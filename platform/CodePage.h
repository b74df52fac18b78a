// The system's 8-bit code page, for texts that drives hand over as bytes (the
// identity texts). Every byte becomes exactly one character: nothing is
// rejected or lost, so the same bytes always show the same text.
#ifndef KELVANE_PLATFORM_CODEPAGE_H_
#define KELVANE_PLATFORM_CODEPAGE_H_

#include <string>
#include <string_view>

namespace platform {

// The bytes as display text through Windows-1252, the code page of the
// Western European Windows installations. The five bytes 1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of
// the same number, as Windows itself converts them.
std::u16string AnsiToText(std::string_view bytes);

// One byte through the same table.
char16_t AnsiCharToText(unsigned char byte);

}  // namespace platform

#endif  // KELVANE_PLATFORM_CODEPAGE_H_
