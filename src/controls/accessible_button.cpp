#include "controls/accessible_button.h"

#include <ole2.h>
#include <oleacc.h>

#include <new>
#include <string>
#include <utility>

#include "framework/scoped_handles.h"
#include "framework/system_library.h"
#include "framework/system_calls.h"

static_assert(kRolePushButton == ROLE_SYSTEM_PUSHBUTTON && kRoleGraphic == ROLE_SYSTEM_GRAPHIC, "MSAA roles");

namespace {

// Spelled out: a static mingw link gives a wrong IID_IAccessible.
constexpr IID kIID_IAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// The two calls we need from oleacc.dll. It is loaded when a screen reader first asks, not at
// start-up, and stays loaded for the rest of the run: the objects handed out live in it.
struct Oleacc {
    decltype(&::CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&::LresultFromObject) resultFromObject = nullptr;
};

const Oleacc* LoadOleacc() {
    static const Oleacc oleacc = [] {
        Oleacc loaded;
        if (HMODULE module = LoadSystemLibrary("oleacc.dll")) {
            loaded.createStandard =
                GetProcAddressAs<decltype(&::CreateStdAccessibleObject)>(module, "CreateStdAccessibleObject");
            loaded.resultFromObject = GetProcAddressAs<decltype(&::LresultFromObject)>(module, "LresultFromObject");
        }
        return loaded;
    }();
    return oleacc.createStandard && oleacc.resultFromObject ? &oleacc : nullptr;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

BSTR WideString(const CString& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), &wide[0], length);
    return oleaut32::SysAllocStringLen(wide.c_str(), static_cast<UINT>(wide.size()));
}

// The standard client object of a window with our name, role and state. It holds one
// reference to the standard object and releases it when its own last reference goes.
class AccessibleControl final : public IAccessible {
public:
    AccessibleControl(HWND window, ComRef<IAccessible>&& standard, const CString& name, long role,
                      const CString& description)
        : window_(window), standard_(std::move(standard)), name_(name), role_(role), description_(description) {}
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: the standard object's
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
        return standard_->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: name, role, state and the push button's action are ours
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child) || name_.IsEmpty()) return standard_->get_accName(child, name);
        if (!name) return E_POINTER;
        *name = WideString(name_);
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || role_ == 0) return standard_->get_accRole(child, role);
        if (!role) return E_POINTER;
        role->vt = VT_I4;
        role->lVal = role_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!IsSelf(child) || role_ == 0) return standard_->get_accState(child, state);
        if (!state) return E_POINTER;
        state->vt = VT_I4;
        state->lVal = static_cast<LONG>(CurrentState());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!IsSelf(child) || role_ != ROLE_SYSTEM_PUSHBUTTON) return standard_->get_accDefaultAction(child, action);
        if (!action) return E_POINTER;
        *action = oleaut32::SysAllocString(L"Press");
        return *action ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child) || role_ != ROLE_SYSTEM_PUSHBUTTON) return standard_->accDoDefaultAction(child);
        if (CurrentState() & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE)) return DISP_E_MEMBERNOTFOUND;
        // Posted: the click runs from the window's own message loop, not inside this call.
        return ::PostMessageA(window_, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
    }

    // IAccessible: the standard object's
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    // Ours when there is one.
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (!IsSelf(child) || description_.IsEmpty()) return standard_->get_accDescription(child, text);
        if (!text) return E_POINTER;
        *text = WideString(description_);
        return *text ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return standard_->get_accHelp(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return standard_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~AccessibleControl() = default;

    DWORD CurrentState() const {
        DWORD state = 0;
        if (!::IsWindowVisible(window_)) state |= STATE_SYSTEM_INVISIBLE;
        if (role_ != ROLE_SYSTEM_PUSHBUTTON) return state | STATE_SYSTEM_READONLY;
        // A control of a disabled window (its dialog while a question is up) cannot be used either.
        if (!::IsWindowEnabled(window_) || !::IsWindowEnabled(::GetAncestor(window_, GA_ROOT)))
            return state | STATE_SYSTEM_UNAVAILABLE;
        state |= STATE_SYSTEM_FOCUSABLE;
        if (::GetFocus() == window_) state |= STATE_SYSTEM_FOCUSED;
        if (::SendMessageA(window_, BM_GETSTATE, 0, 0) & BST_PUSHED) state |= STATE_SYSTEM_PRESSED;
        return state;
    }

    LONG references_ = 1;
    HWND window_;
    ComRef<IAccessible> standard_;
    CString name_;
    long role_;
    CString description_;
};

}  // namespace

LRESULT AccessibleName::Answer(HWND window, WPARAM wParam, LPARAM lParam) const {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
    const Oleacc* oleacc = LoadOleacc();
    if (!oleacc) return 0;
    ComRef<IAccessible> standard;
    if (FAILED(oleacc->createStandard(window, OBJID_CLIENT, kIID_IAccessible, reinterpret_cast<void**>(standard.Receive()))) ||
        !standard)
        return 0;
    // The wrapper takes the standard object over, and this function owns the wrapper's first
    // reference; the result holds a reference of its own.
    const ComRef<AccessibleControl> control(
        new (std::nothrow) AccessibleControl(window, std::move(standard), m_name, m_role, m_description));
    if (!control) return 0;
    const LRESULT result = oleacc->resultFromObject(kIID_IAccessible, wParam, control.Get());
    return result > 0 ? result : 0;
}

void AccessibleName::Set(HWND window, const CString& name) {
    m_name = name;
    if (window) ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

void AccessibleName::SetDescription(HWND window, const CString& description) {
    m_description = description;
    if (window) ::NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

BEGIN_MESSAGE_MAP(NamedPicture, CStatic)
    ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

void NamedPicture::SetAccessibleName(const CString& name) { accessibleName.Set(m_hWnd, name); }

LRESULT NamedPicture::OnGetObject(WPARAM wParam, LPARAM lParam) {
    const LRESULT answer = accessibleName.Answer(m_hWnd, wParam, lParam);
    return answer ? answer : Default();
}
