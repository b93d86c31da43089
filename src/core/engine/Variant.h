#pragma once
// The tagged value passed to and read from the table engine.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>

namespace vrelmont {

class VariantConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class VariantKind { Empty, Text, Int32, Boolean, Date, Double };

class Variant {
public:
    Variant() = default;
    static Variant text(std::string utf8);
    static Variant int32(std::int32_t value);
    static Variant boolean(bool value);
    // Days since 30 December 1899, the time of day as the fraction.
    static Variant date(double days);
    static Variant real(double value);

    VariantKind kind() const { return kind_; }
    bool isEmpty() const { return kind_ == VariantKind::Empty; }

    // Conversions; each throws VariantConversionError when the value cannot be converted.
    std::string toText() const;
    std::int32_t toInt32() const;
    bool toBoolean() const;
    double toDouble() const;

    bool operator==(const Variant &other) const = default;

private:
    VariantKind kind_ = VariantKind::Empty;
    std::variant<std::monostate, std::string, std::int32_t, bool, double> value_;
};

} // namespace vrelmont
