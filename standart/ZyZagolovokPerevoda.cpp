// The header of the translation file. NOTE: this unit is compiled with -fexec-charset=CP1251,
// so its Cyrillic literals (UTF-8 in the source) become the code page 1251 bytes of the file.
#include "ZyZagolovokPerevoda.h"

namespace zyst {
namespace {

constexpr char kZagolovok[] =
    "RU:   Ниже приводится список используемых сообщений, а далее после знака \"=\"\r\n"
    "      их перевод, который будет использоватся при выводе на экран,\r\n"
    "      перевод должен завершаться тремя звёздочками \"***\".\r\n"
    "\r\n"
    "EN:   Below happens to an used reporting list, but hereinafter after the sign \"=\"\r\n"
    "      their translation, which will use at the conclusion on the screen,\r\n"
    "      translation must terminate three asterisks \"***\".\r\n"
    "\r\n"
    "\r\n"
    "***";

} // namespace

// The header text.
const char* ZyZagolovokPerevoda() {
    return kZagolovok;
}

// The header's length without the zero of the literal.
std::size_t ZyDlinaZagolovkaPerevoda() {
    return sizeof kZagolovok - 1;
}

} // namespace zyst
