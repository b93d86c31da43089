#pragma once
// Small agendas on disk for the window tests.
#include <QString>
#include <string>

namespace vrelmont::ui::testdata {

// An agenda directory with its business name in AGENDA.INI, two stock items sharing the number 7
// in warehouse 1 and the master card for 7.
void MakeAgenda(const QString &directory, const std::string &businessName);

} // namespace vrelmont::ui::testdata
