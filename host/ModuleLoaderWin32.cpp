#include "host/ModuleLoader.h"

#include <windows.h>

namespace velmora {

// The language the user chose for the system's own texts.
std::uint16_t UserDefaultLangId()
{
    return GetUserDefaultUILanguage();
}

} // namespace velmora
