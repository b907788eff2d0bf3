#include "SecurityDescriptor.h"

const char16_t* g_GetQVXSecurityDescriptor()
{
    return u"D:(D;OICI;GA;;;BG)(D;OICI;GA;;;AN)(A;OICI;GRGWGX;;;AU)(A;OICI;GA;;;BA)";
}
