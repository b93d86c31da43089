#include "engine/Variant.h"

#include "text/DateNumber.h"
#include "text/TextTrim.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vrelmont {
namespace {

bool parseDouble(const std::string &text, double &value) {
    std::string t = TrimBlanks(text);
    if (t.empty())
        return false;
    // A Czech user writes a decimal comma.
    if (t.find(',') != std::string::npos && t.find('.') == std::string::npos)
        t[t.find(',')] = '.';
    // One sign only: "+-5" is no number.
    if (t.front() == '+' && t.size() > 1 && t[1] != '-' && t[1] != '+')
        t.erase(0, 1);
    const auto result = std::from_chars(t.data(), t.data() + t.size(), value);
    return result.ec == std::errc() && result.ptr == t.data() + t.size() && std::isfinite(value);
}

std::string doubleText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::int32_t roundToInt32(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max()))
        throw VariantConversionError("Hodnota " + doubleText(value) + " není celé číslo v rozsahu 32 bitů");
    return static_cast<std::int32_t>(rounded);
}

} // namespace

Variant Variant::text(std::string utf8) {
    Variant v;
    v.kind_ = VariantKind::Text;
    v.value_ = std::move(utf8);
    return v;
}

Variant Variant::int32(std::int32_t value) {
    Variant v;
    v.kind_ = VariantKind::Int32;
    v.value_ = value;
    return v;
}

Variant Variant::boolean(bool value) {
    Variant v;
    v.kind_ = VariantKind::Boolean;
    v.value_ = value;
    return v;
}

Variant Variant::date(double days) {
    Variant v;
    v.kind_ = VariantKind::Date;
    v.value_ = days;
    return v;
}

Variant Variant::real(double value) {
    Variant v;
    v.kind_ = VariantKind::Double;
    v.value_ = value;
    return v;
}

std::string Variant::toText() const {
    switch (kind_) {
    case VariantKind::Empty:
        return {};
    case VariantKind::Text:
        return std::get<std::string>(value_);
    case VariantKind::Int32:
        return std::to_string(std::get<std::int32_t>(value_));
    case VariantKind::Boolean:
        return std::get<bool>(value_) ? "True" : "False";
    case VariantKind::Date: {
        const double days = std::get<double>(value_);
        return days == std::floor(days) ? DateText(days) : DateTimeText(days);
    }
    case VariantKind::Double:
        return doubleText(std::get<double>(value_));
    }
    return {};
}

std::int32_t Variant::toInt32() const {
    switch (kind_) {
    case VariantKind::Empty:
        return 0;
    case VariantKind::Int32:
        return std::get<std::int32_t>(value_);
    case VariantKind::Boolean:
        return std::get<bool>(value_) ? -1 : 0;
    case VariantKind::Date:
    case VariantKind::Double:
        return roundToInt32(std::get<double>(value_));
    case VariantKind::Text: {
        const std::string t = TrimBlanks(std::get<std::string>(value_));
        std::int32_t value = 0;
        const char *begin = t.data() + (t.size() > 1 && t.front() == '+' && t[1] != '-' ? 1 : 0);
        const auto result = std::from_chars(begin, t.data() + t.size(), value);
        if (!t.empty() && result.ec == std::errc() && result.ptr == t.data() + t.size())
            return value;
        double number = 0;
        if (parseDouble(t, number))
            return roundToInt32(number);
        throw VariantConversionError("Text \"" + std::get<std::string>(value_) + "\" není číslo");
    }
    }
    return 0;
}

bool Variant::toBoolean() const {
    switch (kind_) {
    case VariantKind::Empty:
        return false;
    case VariantKind::Boolean:
        return std::get<bool>(value_);
    case VariantKind::Int32:
        return std::get<std::int32_t>(value_) != 0;
    case VariantKind::Date:
    case VariantKind::Double:
        return std::get<double>(value_) != 0;
    case VariantKind::Text: {
        std::string t = TrimBlanks(std::get<std::string>(value_));
        for (auto &c : t)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (t == "true")
            return true;
        if (t == "false")
            return false;
        double number = 0;
        if (parseDouble(t, number))
            return number != 0;
        throw VariantConversionError("Text \"" + std::get<std::string>(value_) + "\" není pravdivostní hodnota");
    }
    }
    return false;
}

double Variant::toDouble() const {
    switch (kind_) {
    case VariantKind::Empty:
        return 0;
    case VariantKind::Boolean:
        return std::get<bool>(value_) ? -1 : 0;
    case VariantKind::Int32:
        return std::get<std::int32_t>(value_);
    case VariantKind::Date:
    case VariantKind::Double:
        return std::get<double>(value_);
    case VariantKind::Text: {
        const auto &t = std::get<std::string>(value_);
        double number = 0;
        if (parseDouble(t, number))
            return number;
        if (auto days = ParseDateTimeText(TrimBlanks(t)))
            return *days;
        throw VariantConversionError("Text \"" + t + "\" není číslo");
    }
    }
    return 0;
}

} // namespace vrelmont
