#include "platform/windows/HostEngine.h"

#include "engine/EngineError.h"
#include "engine/TBFTable.h"
#include "platform/Utf8Path.h"
#include "platform/WideText.h"

// windows.h first: the other Windows headers build on it.
#include <windows.h>

#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vrelmont {
namespace {

// COM for the calling thread (the user-interface thread), apartment-threaded. A thread that already
// chose another model keeps it; the calls work there too.
void InitialiseComForThisThread() {
    thread_local const bool initialised = [] {
        const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
    }();
    (void)initialised;
}

std::string TrimmedEnd(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.pop_back();
    return text;
}

// The system's text for a result code, else "OLE error 8xxxxxxx".
std::string SystemText(HRESULT result) {
    wchar_t *buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::string text = length && buffer ? TrimmedEnd(Utf8FromWide(buffer, length)) : std::string();
    if (buffer)
        LocalFree(buffer);
    if (text.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "OLE error %.8lx", static_cast<unsigned long>(result));
        text = code;
    }
    return text;
}

std::string TextOf(BSTR text) {
    return text ? Utf8FromWide(text, SysStringLen(text)) : std::string();
}

// Whether `object` says that its interface `interfaceId` leaves error objects: only then is the
// thread's error object this call's, and not one that an earlier call of any object left.
bool GivesErrorObjects(IUnknown *object, const IID &interfaceId) {
    ISupportErrorInfo *support = nullptr;
    if (!object || FAILED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void **>(&support))) ||
        !support)
        return false;
    const bool gives = support->InterfaceSupportsErrorInfo(interfaceId) == S_OK;
    support->Release();
    return gives;
}

// The description the failed call left: its EXCEPINFO, else the thread's error object when the
// object gives them.
std::string CallErrorDescription(HRESULT result, EXCEPINFO *exception, bool errorObjectIsThisCalls) {
    std::string description;
    if (result == DISP_E_EXCEPTION && exception) {
        if (exception->pfnDeferredFillIn)
            exception->pfnDeferredFillIn(exception);
        description = TextOf(exception->bstrDescription);
        if (description.empty() && FAILED(exception->scode))
            result = exception->scode;
        SysFreeString(exception->bstrSource);
        SysFreeString(exception->bstrDescription);
        SysFreeString(exception->bstrHelpFile);
    }
    // Taking the error object clears it, also when its text is not used.
    IErrorInfo *errorInfo = nullptr;
    if (GetErrorInfo(0, &errorInfo) == S_OK && errorInfo) {
        BSTR text = nullptr;
        if (description.empty() && errorObjectIsThisCalls && SUCCEEDED(errorInfo->GetDescription(&text)))
            description = TextOf(text);
        SysFreeString(text);
        errorInfo->Release();
    }
    return description.empty() ? SystemText(result) : description;
}

// The name of a Variant type, for messages.
std::string VariantTypeName(VARTYPE type) {
    switch (type) {
    case VT_EMPTY:
        return "VT_EMPTY";
    case VT_NULL:
        return "VT_NULL";
    case VT_BOOL:
        return "VT_BOOL";
    case VT_DISPATCH:
        return "VT_DISPATCH";
    case VT_UNKNOWN:
        return "VT_UNKNOWN";
    case VT_ERROR:
        return "VT_ERROR";
    case VT_BSTR:
        return "VT_BSTR";
    default:
        return "VT " + std::to_string(type);
    }
}

// Whether `object` is a proxy of COM's standard marshalling: the object lives in another apartment
// or process, and each of its interfaces needs a registered proxy to reach this thread.
bool IsProxy(IUnknown *object) {
    IClientSecurity *security = nullptr;
    if (FAILED(object->QueryInterface(IID_IClientSecurity, reinterpret_cast<void **>(&security))) || !security)
        return false;
    security->Release();
    return true;
}

// The ThreadingModel under the class's InprocServer32 key, or how else it is served.
std::string ThreadingModelOf(const std::wstring &classId) {
    const std::wstring keyPath = L"CLSID\\" + classId + L"\\InprocServer32";
    wchar_t model[64] = {};
    DWORD size = sizeof model - sizeof model[0];
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "mimo proces (LocalServer32)";
    const LSTATUS status =
        RegQueryValueExW(key, L"ThreadingModel", nullptr, nullptr, reinterpret_cast<BYTE *>(model), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && model[0] ? Utf8FromWide(model) : "Single (bez ThreadingModel)";
}

// An engine whose objects live in another apartment reaches us only through a proxy; without one
// for its interface, the plain "Interface not supported" would blame the engine's version.
std::string MarshallingRefusedText(const std::wstring &classId) {
    return "Databázový stroj účetního systému je registrován s modelem vláken " + ThreadingModelOf(classId) +
           ", a tak je k programu připojen přes zprostředkování mezi vlákny, pro jehož rozhraní není "
           "registrována proxy. Stroj musí být registrován s modelem vláken Apartment nebo Both.";
}

class OwnedVariant {
public:
    OwnedVariant() { VariantInit(&value_); }
    ~OwnedVariant() { VariantClear(&value_); }
    OwnedVariant(const OwnedVariant &) = delete;
    OwnedVariant &operator=(const OwnedVariant &) = delete;
    VARIANT *get() { return &value_; }

private:
    VARIANT value_;
};

void ToComVariant(const Variant &value, VARIANT &out) {
    switch (value.kind()) {
    case VariantKind::Empty:
        out.vt = VT_EMPTY;
        break;
    case VariantKind::Text: {
        const std::wstring wide = WideFromUtf8(value.toText());
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        if (!out.bstrVal)
            throw EngineError(SystemText(E_OUTOFMEMORY));
        break;
    }
    case VariantKind::Int32:
        out.vt = VT_I4;
        out.lVal = value.toInt32();
        break;
    case VariantKind::Boolean:
        out.vt = VT_BOOL;
        out.boolVal = value.toBoolean() ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VariantKind::Date:
        out.vt = VT_DATE;
        out.date = value.toDouble();
        break;
    case VariantKind::Double:
        out.vt = VT_R8;
        out.dblVal = value.toDouble();
        break;
    }
}

Variant FromComVariant(VARIANT &in) {
    switch (in.vt) {
    case VT_EMPTY:
    case VT_NULL:
        return Variant();
    case VT_BSTR:
        return Variant::text(TextOf(in.bstrVal));
    case VT_I4:
        return Variant::int32(in.lVal);
    case VT_BOOL:
        return Variant::boolean(in.boolVal != VARIANT_FALSE);
    case VT_DATE:
        return Variant::date(in.date);
    case VT_R8:
        return Variant::real(in.dblVal);
    default:
        break;
    }
    // Other numbers the engine may answer: as a 32-bit integer when they fit, else as a double.
    OwnedVariant converted;
    if (in.vt != VT_R4 && in.vt != VT_CY && in.vt != VT_DECIMAL &&
        SUCCEEDED(VariantChangeType(converted.get(), &in, 0, VT_I4)))
        return Variant::int32(converted.get()->lVal);
    if (SUCCEEDED(VariantChangeType(converted.get(), &in, 0, VT_R8)))
        return Variant::real(converted.get()->dblVal);
    throw VariantConversionError("the engine answered a value of an unknown kind (" + std::to_string(in.vt) + ")");
}

class HostTableBackend : public TableBackend {
public:
    explicit HostTableBackend(const std::wstring &classId);
    ~HostTableBackend() override {
        if (engine_)
            engine_->Release();
    }
    HostTableBackend(const HostTableBackend &) = delete;
    HostTableBackend &operator=(const HostTableBackend &) = delete;

    std::int32_t OpenTable(const Variant &path) override {
        // The engine would open the table of another folder than the one named.
        const std::string reason = path.isEmpty() ? std::string() : AmbiguousPathReason(path.toText());
        lastOpenError_ = reason.empty() ? std::string() : path.toText() + ": " + reason;
        tableName_ = path.isEmpty() ? std::string() : path.toText();
        walkLimit_.reset();
        indexField_.clear();
        indexFieldType_.reset();
        startWalk();
        return reason.empty() ? answerOf(L"OpenTable", {path}) : kAnswerFailed;
    }
    std::string lastOpenError() const override { return lastOpenError_; }
    // Every step of a merge costs a call for the move and one for each read, a seek one call.
    bool mergeBeatsSeek() const override { return false; }
    void CloseTable() override { call(L"CloseTable", {}); }
    std::int32_t RecordCount() override { return answerOf(L"RecordCount", {}); }
    std::int32_t GoTop() override {
        startWalk();
        return answerOf(L"GoTop", {});
    }
    std::int32_t MoveNext() override;
    std::int32_t PostRecord() override { return answerOf(L"PostRecord", {}); }
    void SetValue(const std::string &field, const Variant &value) override {
        call(L"SetValue", {Variant::text(field), value});
    }
    std::int32_t SeekKey(const Variant &key) override;
    void AppendRecord() override { call(L"AppendRecord", {}); }
    std::int32_t DeleteRecord() override { return answerOf(L"DeleteRecord", {}); }
    std::int32_t SetIndex(const std::string &keyExpression) override {
        // A key of one field: its seeks pass the number as the type the engine gives that field.
        indexField_ = keyExpression.find_first_of("+;") == std::string::npos ? keyExpression : std::string();
        indexFieldType_.reset();
        return answerOf(L"SetIndex", {Variant::text(keyExpression)});
    }
    std::int32_t SeekKeyPair(const Variant &first, const Variant &second) override {
        startWalk();
        return answerOf(L"SeekKeyPair", {first, second});
    }
    // The GUID travels as its registry text: a late-bound call has no other way to pass the structure.
    std::string QueryGuid(const std::string &guid) override {
        const Variant text = call(L"QueryGuid", {Variant::text(guid)});
        return text.isEmpty() ? std::string() : text.toText();
    }
    Variant Value(const std::string &field) override;

private:
    // An operation's answer as a 32-bit integer from any kind of number the engine gives; an answer
    // that is no number (nothing, a truth value, an object) is an error, not 0: a MoveNext that
    // answered nothing would otherwise walk for ever.
    std::int32_t answerOf(const wchar_t *name, std::initializer_list<Variant> arguments);
    void invoke(const wchar_t *name, std::initializer_list<Variant> arguments, VARIANT *result);
    DISPID dispatchId(const wchar_t *name);
    // As automation clients call: an engine may expose an operation as a method or as a property
    // (RecordCount, GoTop and the other operations without arguments often are properties).
    Variant call(const wchar_t *name, std::initializer_list<Variant> arguments);

    // The number `key` as the Variant type in which the engine gives the index's field, where it
    // has said (by a field read); an engine may compare a key with its field without converting it.
    Variant keyOfIndexFieldType(const Variant &key);

    // A walk from a GoTop or a seek passes every record at most once, even if the table grows
    // meanwhile; an engine that never reports the end would keep a check going for ever.
    void startWalk() { stepsInWalk_ = 0; }

    IDispatch *engine_ = nullptr;
    IID interfaceId_{};
    std::string tableName_;
    std::int64_t stepsInWalk_ = 0;
    // Asked of the engine once per table, at the first step of its first walk: an engine may count
    // its records by walking them.
    std::optional<std::int64_t> walkLimit_;
    // Each name is looked up once per object; field reads then cost one Invoke.
    std::unordered_map<const wchar_t *, DISPID> dispatchIds_;
    std::string lastOpenError_;
    std::string indexField_;
    // The Variant type in which the engine answered a value of the index's field, once it has.
    std::optional<VARTYPE> indexFieldType_;
};

HostTableBackend::HostTableBackend(const std::wstring &classId) {
    InitialiseComForThisThread();
    CLSID classIdValue{};
    HRESULT result = CLSIDFromString(classId.c_str(), &classIdValue);
    if (FAILED(result))
        throw EngineError(SystemText(result));
    IUnknown *object = nullptr;
    if (FAILED(GetActiveObject(classIdValue, nullptr, &object)) || !object) {
        object = nullptr;
        result = CoCreateInstance(classIdValue, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                  reinterpret_cast<void **>(&object));
        if (FAILED(result) || !object)
            throw EngineError(SystemText(result));
    }
    void *table = nullptr;
    result = IIDFromString(kHostEngineDefaultInterfaceId, &interfaceId_);
    if (SUCCEEDED(result))
        result = object->QueryInterface(interfaceId_, &table);
    const bool reachedThroughProxy = IsProxy(object);
    object->Release();
    if (FAILED(result) || !table)
        throw EngineError(reachedThroughProxy ? MarshallingRefusedText(classId) : "Interface not supported");
    // The interface chain ends in IDispatch, so its pointer is an IDispatch pointer.
    engine_ = static_cast<IDispatch *>(table);
}

DISPID HostTableBackend::dispatchId(const wchar_t *name) {
    const auto known = dispatchIds_.find(name);
    if (known != dispatchIds_.end())
        return known->second;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const HRESULT result = engine_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result))
        throw EngineError(CallErrorDescription(result, nullptr, GivesErrorObjects(engine_, interfaceId_)));
    dispatchIds_.emplace(name, id);
    return id;
}

std::int32_t HostTableBackend::MoveNext() {
    if (!walkLimit_)
        walkLimit_ = 4 * static_cast<std::int64_t>(std::max(RecordCount(), 0)) + 1000;
    if (++stepsInWalk_ > *walkLimit_)
        throw EngineError("Tabulka " + tableName_ + ": databázový stroj nehlásí konec tabulky – procházení prošlo " +
                          std::to_string(*walkLimit_) + " záznamů, víc než čtyřnásobek jejich počtu, a bylo zastaveno");
    return answerOf(L"MoveNext", {});
}

Variant HostTableBackend::Value(const std::string &field) {
    OwnedVariant result;
    invoke(L"Value", {Variant::text(field)}, result.get());
    const VARTYPE type = result.get()->vt;
    if (type != VT_EMPTY && type != VT_NULL && !indexFieldType_ && field == indexField_)
        indexFieldType_ = type;
    return FromComVariant(*result.get());
}

std::int32_t HostTableBackend::SeekKey(const Variant &key) {
    const Variant typedKey = keyOfIndexFieldType(key);
    startWalk();
    return answerOf(L"SeekKey", {typedKey});
}

Variant HostTableBackend::keyOfIndexFieldType(const Variant &key) {
    if (key.kind() != VariantKind::Int32 || indexField_.empty())
        return key;
    // A table only sought in has not shown its field's type yet: its first record shows it.
    if (!indexFieldType_ && answerOf(L"GoTop", {}) != 0)
        (void)Value(indexField_);
    switch (indexFieldType_.value_or(static_cast<VARTYPE>(VT_I4))) {
    case VT_R8:
    case VT_R4:
    case VT_DECIMAL:
    case VT_CY:
        return Variant::real(key.toInt32());
    case VT_DATE:
        return Variant::date(key.toInt32());
    case VT_BSTR:
        return Variant::text(std::to_string(key.toInt32()));
    default:
        return key;
    }
}

Variant HostTableBackend::call(const wchar_t *name, std::initializer_list<Variant> arguments) {
    OwnedVariant result;
    invoke(name, arguments, result.get());
    return FromComVariant(*result.get());
}

std::int32_t HostTableBackend::answerOf(const wchar_t *name, std::initializer_list<Variant> arguments) {
    OwnedVariant result;
    invoke(name, arguments, result.get());
    VARIANT &value = *result.get();
    OwnedVariant number;
    const bool isNumber = value.vt != VT_EMPTY && value.vt != VT_NULL && value.vt != VT_BOOL &&
                          value.vt != VT_DISPATCH && value.vt != VT_UNKNOWN && value.vt != VT_ERROR;
    if (!isNumber || FAILED(VariantChangeType(number.get(), &value, 0, VT_I4)))
        throw EngineError("Databázový stroj odpověděl na " + Utf8FromWide(name) + " hodnotou typu " +
                          VariantTypeName(value.vt) + " místo čísla");
    return number.get()->lVal;
}

void HostTableBackend::invoke(const wchar_t *name, std::initializer_list<Variant> arguments, VARIANT *result) {
    const DISPID id = dispatchId(name);
    // IDispatch takes the arguments last first.
    std::vector<VARIANT> comArguments(arguments.size());
    std::size_t position = arguments.size();
    struct Cleanup {
        std::vector<VARIANT> &values;
        ~Cleanup() {
            for (auto &value : values)
                VariantClear(&value);
        }
    } cleanup{comArguments};
    for (auto &value : comArguments)
        VariantInit(&value);
    for (const Variant &argument : arguments)
        ToComVariant(argument, comArguments[--position]);
    DISPPARAMS parameters{comArguments.data(), nullptr, static_cast<UINT>(comArguments.size()), 0};
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT status = engine_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                                           &parameters, result, &exception, &badArgument);
    if (FAILED(status))
        throw EngineError(CallErrorDescription(status, &exception, GivesErrorObjects(engine_, interfaceId_)));
}

} // namespace

namespace {

bool HasClassKey(const std::wstring &keyPath, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

} // namespace

HostEngineRegistration FindHostEngineRegistration(const std::wstring &classId) {
    const std::wstring keyPath = L"CLSID\\" + classId;
    const REGSAM ownView = sizeof(void *) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    const REGSAM otherView = sizeof(void *) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    if (HasClassKey(keyPath, ownView) || HasClassKey(keyPath + L"\\LocalServer32", otherView))
        return HostEngineRegistration::Reachable;
    return HasClassKey(keyPath, otherView) ? HostEngineRegistration::OtherBitnessOnly : HostEngineRegistration::Absent;
}

bool IsHostEngineClassRegistered() {
    return FindHostEngineRegistration() == HostEngineRegistration::Reachable;
}

std::unique_ptr<TableBackend> MakeHostTableBackend() {
    return MakeHostTableBackendOfClass(kHostEngineClassId);
}

std::unique_ptr<TableBackend> MakeHostTableBackendOfClass(const std::wstring &classId) {
    return std::make_unique<HostTableBackend>(classId);
}

} // namespace vrelmont
