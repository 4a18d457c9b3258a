// The skin's colours for other modules.
#include "controls/framework/skin.h"
#include "kelmard.h"

extern "C" KELMARD_API COLORREF QVRAPI WKGetColor(int index) { return kelmard::SkinColorAt(index); }

extern "C" KELMARD_API COLORREF QVRAPI WKGetSysColor(int index) { return kelmard::SkinSysColor(index); }
