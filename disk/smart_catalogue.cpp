// Placeholder until the catalogue tables land (in this same change set).
#include "disk/smart.h"

std::u16string GetAttributeName(std::uint8_t) { return u"Unknown attribute"; }
std::u16string GetAttributeDescription(std::uint8_t) { return std::u16string(); }
