#pragma once
// The checks chosen for a run. A check is named by the number of the check box that enables it
// (CheckBox1 to CheckBox15 in the main window), which is also the number of its settings key
// (Check01 to Check15) and of `vrelmont-cli check --checks`.
#include <array>
#include <cstddef>
#include <initializer_list>
#include <stdexcept>

namespace vrelmont {

class SelectedChecks {
public:
    static constexpr int kCount = 15;

    // None selected.
    constexpr SelectedChecks() = default;
    constexpr SelectedChecks(std::initializer_list<int> checkBoxes) {
        for (const int checkBox : checkBoxes)
            set(checkBox, true);
    }
    static constexpr SelectedChecks all() {
        SelectedChecks checks;
        checks.selected_.fill(true);
        return checks;
    }
    // Selected when the settings file does not say otherwise: 1 to 5, 14 and 15.
    static constexpr SelectedChecks defaults() { return {1, 2, 3, 4, 5, 14, 15}; }

    // False for a number that names no check.
    constexpr bool contains(int checkBox) const { return isCheckNumber(checkBox) && selected_[slot(checkBox)]; }
    // Throws std::out_of_range for a number that names no check.
    constexpr void set(int checkBox, bool selected) {
        if (!isCheckNumber(checkBox))
            throw std::out_of_range("SelectedChecks: no check box has that number");
        selected_[slot(checkBox)] = selected;
    }

    constexpr bool operator==(const SelectedChecks &other) const = default;

private:
    static constexpr bool isCheckNumber(int checkBox) { return checkBox >= 1 && checkBox <= kCount; }
    static constexpr std::size_t slot(int checkBox) { return static_cast<std::size_t>(checkBox - 1); }

    std::array<bool, kCount> selected_{};
};

} // namespace vrelmont
