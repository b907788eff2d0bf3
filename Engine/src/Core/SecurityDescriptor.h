#pragma once
// The one security descriptor of the Engine's shared named objects (the driver
// semaphore, the firmware mutex): guests and anonymous users denied, authenticated
// users read/write/execute, administrators full access.
const char16_t* g_GetQVXSecurityDescriptor();
