// placeholder until the resource reader lands
#include "platform/core/resources.h"
HINSTANCE AfxGetResourceHandle() { return nullptr; }
HINSTANCE AfxGetInstanceHandle() { return nullptr; }
int LoadStringA(HINSTANCE, UINT, char*, int) { return 0; }
