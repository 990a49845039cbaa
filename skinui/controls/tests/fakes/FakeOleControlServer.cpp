// The fake control server: a windowless control and a windowed one, made by the class
// factory that DllGetClassObject hands out.
#include "FakeOleObject.h"

namespace {

IUnknown *MakeWindowless()
{
    return reinterpret_cast<IUnknown *>(&(new FakeCom::OleObject(true))->oleObject);
}

IUnknown *MakeWindowed()
{
    return reinterpret_cast<IUnknown *>(&(new FakeCom::OleObject(false))->oleObject);
}

} // namespace

extern "C" {

__declspec(dllexport) FakeCom::Record *FakeRecord()
{
    return &FakeCom::TheRecord();
}

__declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID clsid, REFIID iid, void **out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    FakeCom::Factory::MakeFunction make = nullptr;
    if (IsEqualCLSID(clsid, FakeCom::kWindowlessControl))
        make = &MakeWindowless;
    else if (IsEqualCLSID(clsid, FakeCom::kWindowedControl))
        make = &MakeWindowed;
    else
        return CLASS_E_CLASSNOTAVAILABLE;
    auto *factory = new FakeCom::Factory(make);
    const HRESULT result = factory->QueryInterface(iid, out);
    factory->Release();
    return result;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_FALSE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer()
{
    HRESULT result =
        FakeCom::RegisterClassId(FakeCom::kWindowlessControlText, FakeCom::kWindowlessProgId);
    if (SUCCEEDED(result))
        result = FakeCom::RegisterClassId(FakeCom::kWindowedControlText, nullptr);
    return result;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    FakeCom::UnregisterClassId(FakeCom::kWindowlessControlText, FakeCom::kWindowlessProgId);
    return FakeCom::UnregisterClassId(FakeCom::kWindowedControlText, nullptr);
}

} // extern "C"
