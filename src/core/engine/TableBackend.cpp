#include "engine/TableBackend.h"

#include "engine/EngineError.h"

namespace vrelmont {

std::int64_t TableBackend::recordId() {
    throw EngineError("Databázový stroj neoznačuje záznamy čísly");
}

Variant TableBackend::valueOfRecord(std::int64_t, const std::string &) {
    throw EngineError("Databázový stroj neoznačuje záznamy čísly");
}

Variant TableBackend::valueInRun(int, std::int64_t, std::int64_t) {
    throw EngineError("Databázový stroj nečte běhy stejných klíčů");
}

int TableBackend::resolveField(const std::string &field) {
    for (std::size_t i = 0; i < resolvedNames_.size(); ++i)
        if (resolvedNames_[i] == field)
            return static_cast<int>(i);
    resolvedNames_.push_back(field);
    return static_cast<int>(resolvedNames_.size() - 1);
}

std::int32_t TableBackend::int32Value(int field) {
    return Value(resolvedNames_.at(static_cast<std::size_t>(field))).toInt32();
}

std::string_view TableBackend::textValue(int field) {
    text_ = Value(resolvedNames_.at(static_cast<std::size_t>(field))).toText();
    return text_;
}

int TableBackend::compareValue(int field, std::int32_t number) {
    return CompareWithNumber(Value(resolvedNames_.at(static_cast<std::size_t>(field))), number);
}

int CompareWithNumber(const Variant &value, std::int32_t number) {
    const auto order = [](auto stored, auto wanted) { return stored < wanted ? -1 : stored > wanted ? 1 : 0; };
    switch (value.kind()) {
    case VariantKind::Empty:
        return -1;
    case VariantKind::Int32:
    case VariantKind::Boolean:
        return order(value.toInt32(), number);
    case VariantKind::Date:
    case VariantKind::Double:
        return order(value.toDouble(), static_cast<double>(number));
    case VariantKind::Text:
        break;
    }
    return 1; // texts sort after every number
}

} // namespace vrelmont
