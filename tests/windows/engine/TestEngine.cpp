// A stand-in for the host's COM engine, for the tests under Wine: an in-process server of the
// engine's class whose objects answer the interface chain by name through IDispatch and keep their
// tables in our own table files (the files backend).
//
// Switches for failure tests, read on every call:
//   VRELMONT_TEST_ENGINE_REFUSE_DEFAULT=1       objects do not answer the default interface
//   VRELMONT_TEST_ENGINE_FAIL=Operation:Text    the named operation fails with that description
//   VRELMONT_TEST_ENGINE_LOG=file               every table opened is added to the file as a line
//   VRELMONT_TEST_ENGINE_PROPERTIES=1           operations without arguments are properties, not methods
//   VRELMONT_TEST_ENGINE_ANSWERS=I2|R8|BSTR|BOOL|EMPTY   operations answer their numbers as that type
//   VRELMONT_TEST_ENGINE_EMPTY_FIELDS=NULL|EMPTY          empty field values come as VT_NULL or VT_EMPTY
//   VRELMONT_TEST_ENGINE_NUMBER_FIELDS=R8|BSTR|DATE       number fields come as that type, and SeekKey
//                                               finds only a key of that same type, as an engine
//                                               that compares Variants as they come
//   VRELMONT_TEST_ENGINE_ENDLESS=1              MoveNext never reports the end (after the last record it
//                                               starts again at the first)
//   VRELMONT_TEST_ENGINE_ERROR_OBJECT=Operation:Text   the operation fails with E_FAIL, leaving its
//                                               description in the thread's error object only
//   VRELMONT_TEST_ENGINE_NO_ERROR_INFO=1        objects do not say that they give error objects
//                                               (ISupportErrorInfo), so an error object is stale
#include "engine/TBFTable.h"
#include "engine/TableBackend.h"
#include "platform/WideText.h"
#include "platform/windows/HostEngine.h"
#include "tablefiles/FileTableBackend.h"

// windows.h first: the other Windows headers build on it.
#include <windows.h>

#include <oleauto.h>
#include <olectl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace vrelmont;

HMODULE thisModule = nullptr;
std::atomic<long> liveObjects{0};
std::atomic<long> locks{0};
std::atomic<long> objectsMade{0};

// Answers a QueryGuid of this GUID with the serial number of the object: tests see whether two
// components share one object.
constexpr const char *kObjectSerialGuid = "{0D6A3E51-7C2B-4E8A-9F10-5B3C2A1D9E77}";

// The interface chain, default first, down to the first one, which extends IDispatch.
constexpr const wchar_t *kChain[] = {
    L"{CAC577B8-756A-4576-840B-AE6BAE6742F6}", L"{17A0E451-DDE4-11D7-A56A-005004EB2630}",
    L"{127D69EE-6DA1-4E67-B51B-4E1FFEE27A31}", L"{C4E64682-A3E4-4705-AA87-5F54306ECB2A}",
    L"{B890CD6C-F839-4100-A707-EDB040D17728}", L"{7E84DC18-FC16-4C15-A0B0-E5A1B4DC4BA4}"};

enum Operation : DISPID {
    OpenTable = 1,
    CloseTable,
    RecordCount,
    GoTop,
    MoveNext,
    PostRecord,
    SetValue,
    SeekKey,
    AppendRecord,
    DeleteRecord,
    SetIndex,
    SeekKeyPair,
    QueryGuid,
    Value
};
constexpr const wchar_t *kNames[] = {L"OpenTable",  L"CloseTable",  L"RecordCount", L"GoTop",        L"MoveNext",
                                     L"PostRecord", L"SetValue",    L"SeekKey",     L"AppendRecord", L"DeleteRecord",
                                     L"SetIndex",   L"SeekKeyPair", L"QueryGuid",   L"Value"};

std::string Environment(const char *name) {
    const char *value = std::getenv(name);
    return value ? value : "";
}

bool TakesNoArguments(DISPID id) {
    switch (id) {
    case CloseTable:
    case RecordCount:
    case GoTop:
    case MoveNext:
    case PostRecord:
    case AppendRecord:
    case DeleteRecord:
        return true;
    default:
        return false;
    }
}

// An operation's number in the Variant type that an engine might answer with.
void AnswerAs(const std::string &type, VARIANT &answer) {
    const LONG number = answer.lVal;
    if (type == "I2") {
        answer.vt = VT_I2;
        answer.iVal = static_cast<SHORT>(number);
    } else if (type == "R8") {
        answer.vt = VT_R8;
        answer.dblVal = number;
    } else if (type == "BSTR") {
        answer.vt = VT_BSTR;
        answer.bstrVal = SysAllocString(std::to_wstring(number).c_str());
    } else if (type == "BOOL") {
        answer.vt = VT_BOOL;
        answer.boolVal = number ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (type == "EMPTY") {
        answer.vt = VT_EMPTY;
    } else if (type == "DATE") {
        answer.vt = VT_DATE;
        answer.date = number;
    }
}

VARTYPE NumberFieldType(const std::string &type) {
    return type == "R8" ? VT_R8 : type == "BSTR" ? VT_BSTR : type == "DATE" ? VT_DATE : VT_I4;
}

// Tests outside the process (the window under Wine) see through the log that the engine was used.
void LogOpenedTable(const std::string &table) {
    const std::string path = Environment("VRELMONT_TEST_ENGINE_LOG");
    if (path.empty())
        return;
    if (FILE *log = _wfopen(WideFromUtf8(path).c_str(), L"ab")) {
        std::fprintf(log, "OpenTable %s\r\n", table.c_str());
        std::fclose(log);
    }
}

Variant FromComVariant(const VARIANT &in) {
    switch (in.vt) {
    case VT_EMPTY:
        return Variant();
    case VT_BSTR:
        return Variant::text(in.bstrVal ? Utf8FromWide(in.bstrVal, SysStringLen(in.bstrVal)) : std::string());
    case VT_I4:
        return Variant::int32(in.lVal);
    case VT_BOOL:
        return Variant::boolean(in.boolVal != VARIANT_FALSE);
    case VT_DATE:
        return Variant::date(in.date);
    case VT_R8:
        return Variant::real(in.dblVal);
    default:
        throw std::runtime_error("Nepodporovaný typ parametru " + std::to_string(in.vt));
    }
}

void ToComVariant(const Variant &value, VARIANT *out) {
    if (!out)
        return;
    switch (value.kind()) {
    case VariantKind::Empty:
        out->vt = VT_EMPTY;
        break;
    case VariantKind::Text: {
        const std::wstring wide = WideFromUtf8(value.toText());
        out->vt = VT_BSTR;
        out->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        break;
    }
    case VariantKind::Int32:
        out->vt = VT_I4;
        out->lVal = value.toInt32();
        break;
    case VariantKind::Boolean:
        out->vt = VT_BOOL;
        out->boolVal = value.toBoolean() ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VariantKind::Date:
        out->vt = VT_DATE;
        out->date = value.toDouble();
        break;
    case VariantKind::Double:
        out->vt = VT_R8;
        out->dblVal = value.toDouble();
        break;
    }
}

HRESULT Fail(EXCEPINFO *exception, const std::string &description) {
    if (exception) {
        *exception = EXCEPINFO{};
        exception->bstrSource = SysAllocString(L"Vrelmont test engine");
        const std::wstring wide = WideFromUtf8(description);
        exception->bstrDescription = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        exception->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}

// Leaves `description` in the thread's error object, as an automation server does.
void LeaveErrorObject(const std::string &description) {
    ICreateErrorInfo *create = nullptr;
    if (FAILED(CreateErrorInfo(&create)))
        return;
    const std::wstring wide = WideFromUtf8(description);
    create->SetDescription(const_cast<LPOLESTR>(wide.c_str()));
    IErrorInfo *info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void **>(&info)))) {
        SetErrorInfo(0, info);
        info->Release();
    }
    create->Release();
}

class EngineObject : public IDispatch, public ISupportErrorInfo {
public:
    EngineObject() : serial_(++objectsMade) { ++liveObjects; }
    virtual ~EngineObject() { --liveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(id, IID_ISupportErrorInfo)) {
            if (Environment("VRELMONT_TEST_ENGINE_NO_ERROR_INFO") == "1")
                return E_NOINTERFACE;
            AddRef();
            *out = static_cast<ISupportErrorInfo *>(this);
            return S_OK;
        }
        bool known = IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDispatch);
        for (std::size_t i = 0; !known && i < std::size(kChain); ++i) {
            IID chainId{};
            IIDFromString(kChain[i], &chainId);
            known = IsEqualIID(id, chainId) && !(i == 0 && Environment("VRELMONT_TEST_ENGINE_REFUSE_DEFAULT") == "1");
        }
        if (!known)
            return E_NOINTERFACE;
        AddRef();
        *out = static_cast<IDispatch *>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --references_;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }
    // Every interface of the chain gives error objects.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override {
        if (count)
            *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override {
        HRESULT result = S_OK;
        for (UINT n = 0; n < count; ++n) {
            ids[n] = DISPID_UNKNOWN;
            for (std::size_t i = 0; i < std::size(kNames); ++i)
                if (n == 0 && _wcsicmp(names[n], kNames[i]) == 0)
                    ids[n] = static_cast<DISPID>(i + 1);
            if (ids[n] == DISPID_UNKNOWN)
                result = DISP_E_UNKNOWNNAME;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS *parameters, VARIANT *result,
                                     EXCEPINFO *exception, UINT *) override;

private:
    Variant run(DISPID id, const std::vector<Variant> &arguments);

    std::atomic<long> references_{1};
    long serial_;
    std::unique_ptr<TableBackend> table_ = MakeFileTableBackend();
};

HRESULT EngineObject::Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS *parameters, VARIANT *result,
                             EXCEPINFO *exception, UINT *) {
    if (id < OpenTable || id > Value)
        return DISP_E_MEMBERNOTFOUND;
    // A member answers only the kind of call it is exposed as; automation clients ask for both.
    const bool property =
        id == Value || (Environment("VRELMONT_TEST_ENGINE_PROPERTIES") == "1" && TakesNoArguments(id));
    if ((kind & (property ? DISPATCH_PROPERTYGET : DISPATCH_METHOD)) == 0)
        return DISP_E_MEMBERNOTFOUND;
    const std::string name = Utf8FromWide(kNames[id - 1]);
    const std::string failure = Environment("VRELMONT_TEST_ENGINE_FAIL");
    if (failure.rfind(name + ":", 0) == 0)
        return Fail(exception, failure.substr(name.size() + 1));
    const std::string errorObject = Environment("VRELMONT_TEST_ENGINE_ERROR_OBJECT");
    if (errorObject.rfind(name + ":", 0) == 0) {
        LeaveErrorObject(errorObject.substr(name.size() + 1));
        return E_FAIL;
    }
    try {
        std::vector<Variant> arguments;
        for (UINT i = parameters ? parameters->cArgs : 0; i-- > 0;)
            arguments.push_back(FromComVariant(parameters->rgvarg[i]));
        if (result)
            VariantInit(result);
        const std::string numberFields = Environment("VRELMONT_TEST_ENGINE_NUMBER_FIELDS");
        if (id == SeekKey && !numberFields.empty() && parameters && parameters->cArgs == 1 &&
            parameters->rgvarg[0].vt != NumberFieldType(numberFields))
            ToComVariant(Variant::int32(kAnswerNotFound), result);
        else
            ToComVariant(run(id, arguments), result);
        if (result && result->vt == VT_I4 && id != Value && id != QueryGuid)
            AnswerAs(Environment("VRELMONT_TEST_ENGINE_ANSWERS"), *result);
        if (result && result->vt == VT_I4 && id == Value)
            AnswerAs(numberFields, *result);
        if (result && id == Value && result->vt == VT_BSTR && SysStringLen(result->bstrVal) == 0) {
            const std::string empty = Environment("VRELMONT_TEST_ENGINE_EMPTY_FIELDS");
            if (empty == "NULL" || empty == "EMPTY") {
                VariantClear(result);
                result->vt = empty == "NULL" ? VT_NULL : VT_EMPTY;
            }
        }
        return S_OK;
    } catch (const std::exception &error) {
        return Fail(exception, error.what());
    }
}

Variant EngineObject::run(DISPID id, const std::vector<Variant> &arguments) {
    const auto argument = [&](std::size_t n) {
        if (arguments.size() <= n)
            throw std::runtime_error("Chybí parametr");
        return arguments[n];
    };
    switch (id) {
    case OpenTable:
        LogOpenedTable(argument(0).toText());
        return Variant::int32(table_->OpenTable(argument(0)));
    case CloseTable:
        table_->CloseTable();
        return {};
    case RecordCount:
        return Variant::int32(table_->RecordCount());
    case GoTop:
        return Variant::int32(table_->GoTop());
    case MoveNext: {
        const std::int32_t answer = table_->MoveNext();
        if (answer == kAnswerNoFurtherRecord && Environment("VRELMONT_TEST_ENGINE_ENDLESS") == "1") {
            table_->GoTop();
            return Variant::int32(0);
        }
        return Variant::int32(answer);
    }
    case PostRecord:
        return Variant::int32(table_->PostRecord());
    case SetValue:
        table_->SetValue(argument(0).toText(), argument(1));
        return {};
    case SeekKey:
        return Variant::int32(table_->SeekKey(argument(0)));
    case AppendRecord:
        table_->AppendRecord();
        return {};
    case DeleteRecord:
        return Variant::int32(table_->DeleteRecord());
    case SetIndex:
        return Variant::int32(table_->SetIndex(argument(0).toText()));
    case SeekKeyPair:
        return Variant::int32(table_->SeekKeyPair(argument(0), argument(1)));
    case QueryGuid:
        if (argument(0).toText() == kObjectSerialGuid)
            return Variant::text("object " + std::to_string(serial_));
        return Variant::text(table_->QueryGuid(argument(0).toText()));
    default:
        return table_->Value(argument(0).toText());
    }
}

// Objects of the class are made here. Each holds its own table, so components that create their own
// objects walk their tables independently; a test that wants a running object enters one in the
// running object table itself.
class ClassFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(id, IID_IUnknown) && !IsEqualIID(id, IID_IClassFactory))
            return E_NOINTERFACE;
        *out = static_cast<IClassFactory *>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID id, void **out) override {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto *object = new EngineObject;
        const HRESULT result = object->QueryInterface(id, out);
        object->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ++locks : --locks;
        return S_OK;
    }
};

ClassFactory factory;

std::wstring ClassKeyPath() {
    return std::wstring(L"CLSID\\") + kHostEngineClassId;
}

bool SetString(HKEY key, const wchar_t *name, const std::wstring &value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        thisModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID id, void **out) {
    CLSID ours{};
    CLSIDFromString(kHostEngineClassId, &ours);
    if (!IsEqualCLSID(classId, ours))
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(id, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return liveObjects == 0 && locks == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(thisModule, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return SELFREG_E_CLASS;
    HKEY classKey = nullptr, serverKey = nullptr;
    bool ok = RegCreateKeyExW(HKEY_CLASSES_ROOT, ClassKeyPath().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &classKey,
                              nullptr) == ERROR_SUCCESS;
    ok = ok && SetString(classKey, nullptr, L"Vrelmont test engine");
    ok = ok && RegCreateKeyExW(classKey, L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, &serverKey, nullptr) ==
                   ERROR_SUCCESS;
    ok = ok && SetString(serverKey, nullptr, std::wstring(path, length)) &&
         SetString(serverKey, L"ThreadingModel", L"Apartment");
    if (serverKey)
        RegCloseKey(serverKey);
    if (classKey)
        RegCloseKey(classKey);
    return ok ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKeyPath().c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}
