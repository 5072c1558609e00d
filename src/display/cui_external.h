#pragma once
// The Intel graphics driver's COM object "IgfxExt.CUIExternal", as far as we use it: four of
// its methods, at fixed places in its method table. The others are placeholders that keep the
// four at their positions; we never call them.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

// The object's ProgID and the interface we ask it for.
constexpr wchar_t kCuiExternalProgId[] = L"IgfxExt.CUIExternal";
// {AFB6489F-4515-44AA-8DF7-ED28EA46283C}
inline constexpr IID IID_ICUIExternal = {0xAFB6489F, 0x4515, 0x44AA, {0x8D, 0xF7, 0xED, 0x28, 0xEA, 0x46, 0x28, 0x3C}};

// A placeholder's name is its position in the method table, counting IUnknown's three methods
// as positions 1 to 3.
#define ORVA_CUI_UNUSED(position) virtual HRESULT STDMETHODCALLTYPE Unused##position() = 0;

struct ICUIExternal : public IUnknown {
    ORVA_CUI_UNUSED(4) ORVA_CUI_UNUSED(5) ORVA_CUI_UNUSED(6) ORVA_CUI_UNUSED(7)
    ORVA_CUI_UNUSED(8) ORVA_CUI_UNUSED(9) ORVA_CUI_UNUSED(10) ORVA_CUI_UNUSED(11)
    ORVA_CUI_UNUSED(12)

    // Position 13: the device at `index` of the display device `displayName` ("\\.\Display1").
    virtual HRESULT STDMETHODCALLTYPE QueryDeviceAt(BSTR displayName, DWORD index, DWORD* uid, DWORD* type,
                                                    DWORD* status) = 0;

    ORVA_CUI_UNUSED(14) ORVA_CUI_UNUSED(15) ORVA_CUI_UNUSED(16) ORVA_CUI_UNUSED(17)
    ORVA_CUI_UNUSED(18) ORVA_CUI_UNUSED(19) ORVA_CUI_UNUSED(20) ORVA_CUI_UNUSED(21)
    ORVA_CUI_UNUSED(22) ORVA_CUI_UNUSED(23) ORVA_CUI_UNUSED(24) ORVA_CUI_UNUSED(25)
    ORVA_CUI_UNUSED(26) ORVA_CUI_UNUSED(27) ORVA_CUI_UNUSED(28) ORVA_CUI_UNUSED(29)
    ORVA_CUI_UNUSED(30) ORVA_CUI_UNUSED(31) ORVA_CUI_UNUSED(32)

    // Position 33: the connector type of a device; valid when the call succeeds with status 0.
    virtual HRESULT STDMETHODCALLTYPE QueryConnectorType(DWORD uid, DWORD* connectorType, DWORD* status) = 0;

    ORVA_CUI_UNUSED(34) ORVA_CUI_UNUSED(35)

    // Positions 36 and 37: the TV parameter block of a device, `size` bytes at `block`.
    virtual HRESULT STDMETHODCALLTYPE ReadTvParameters(DWORD uid, DWORD size, BYTE* block, DWORD* status) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteTvParameters(DWORD uid, DWORD size, BYTE* block, DWORD* status) = 0;
};

#undef ORVA_CUI_UNUSED
