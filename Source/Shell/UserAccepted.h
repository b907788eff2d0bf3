#pragma once
// Records in the current user's product key that the overclocking warning was
// accepted (1) or not (0). The key is only opened, never created: without it
// nothing is written and nothing is reported.
void SetUserAccepted(bool bAccepted);
