#pragma once

#include "FakeComObject.h"
#include "FakeComRecord.h"

#include <ocidl.h>

namespace FakeCom {

Record &TheRecord();
// Appends a call name to the record.
void Log(const wchar_t *call);

// A hosted OLE control that behaves as a small real one: it asks its site for in-place
// activation when told DoVerb, windowless or in a window of its own, takes a frame and an
// accelerator table from the site, enumerates its container, hands the site an outer site,
// draws its area in one colour, answers hit tests and takes window messages. Everything
// the container does to it is logged in the record.
class OleObject : public Object
{
public:
    explicit OleObject(bool windowless);

    Head oleObject;
    Head inPlaceObject;
    Head viewObject;
    Head persist;
    Head withSite;
    Head control;
    Head activeObject;

    bool windowless;
    bool active = false;
    IOleClientSite *clientSite = nullptr;
    IOleInPlaceSite *inPlaceSite = nullptr;
    IOleInPlaceFrame *frame = nullptr;
    IUnknown *site = nullptr;
    HWND window = nullptr;
    RECT rect = {0, 0, 0, 0};

    HRESULT Activate();
    void Deactivate();

protected:
    ~OleObject() override;
    void *Find(REFIID iid) override;
    void OnCountChanged(LONG count) override;

private:
    void TakeWindowContext(IOleInPlaceSite *site);
    void EnumerateContainer();
    void CreateOwnWindow(HWND parent);
};

// A class factory making objects through a function.
class Factory : public Object
{
public:
    typedef IUnknown *(*MakeFunction)();
    explicit Factory(MakeFunction make);

    static HRESULT STDMETHODCALLTYPE CreateInstance(IClassFactory *self, IUnknown *outer,
                                                    REFIID iid, void **out);
    static HRESULT STDMETHODCALLTYPE LockServer(IClassFactory *self, BOOL lock);

protected:
    void *Find(REFIID iid) override;

private:
    Head m_factory;
    MakeFunction m_make;
};

// The registration of a class of this module among the machine's classes, with an
// optional program id.
HRESULT RegisterClassId(const wchar_t *classText, const wchar_t *progId);
HRESULT UnregisterClassId(const wchar_t *classText, const wchar_t *progId);

} // namespace FakeCom
