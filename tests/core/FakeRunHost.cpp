#include "FakeRunHost.h"

namespace vrelmont::testing {

FakeRunHost::FakeRunHost() {
    tickOnly({});
}

void FakeRunHost::ReportLine(const std::string &text) {
    lines.push_back(text);
    journal.push_back("line:" + text);
    if (onLine)
        onLine(*this);
}

void FakeRunHost::ProcessEvents() {
    gaugeAtEvents.push_back({gauge_.progress(), gauge_.maximum()});
    journal.push_back("events");
    if (onEvents)
        onEvents(*this);
}

void FakeRunHost::SetRunState(bool running) {
    runStates.push_back(running);
    journal.push_back(running ? "state:1" : "state:0");
}

bool FakeRunHost::IsChecked(int checkBoxNumber) {
    return ticked.contains(checkBoxNumber);
}

void FakeRunHost::ShowMessage(const std::string &text) {
    messages.push_back(text);
    journal.push_back("message:" + text);
}

void FakeRunHost::tickOnly(std::initializer_list<int> checkBoxes) {
    ticked = SelectedChecks(checkBoxes);
}

void FakeRunHost::abortAtLine(int n) {
    onLine = [n](FakeRunHost &host) {
        if (static_cast<int>(host.lines.size()) == n)
            host.abort = true;
    };
}

void FakeRunHost::abortAtEvents(int n) {
    onEvents = [n](FakeRunHost &host) {
        if (static_cast<int>(host.gaugeAtEvents.size()) == n)
            host.abort = true;
    };
}

std::vector<std::string> FakeRunHost::linesFrom(std::size_t first) const {
    return first >= lines.size()
               ? std::vector<std::string>{}
               : std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end());
}

std::vector<std::string> HeaderBlock(const std::string &title, int underline) {
    return {"", title, std::string(static_cast<std::size_t>(underline), '='), ""};
}

} // namespace vrelmont::testing
