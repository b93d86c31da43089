#include "cli/AgendaFiles.h"

#include "platform/Utf8Path.h"
#include "settings/TS3IniFile.h"
#include "tablefiles/TableFiles.h"

#include <stdexcept>

namespace fs = std::filesystem;

namespace vrelmont::cli {

void WriteAgendaFiles(const fs::path &dir, const std::string &businessName, SettingsForm form) {
    for (const TableDef *table : {&MasterCardsTable(), &StockItemsTable()})
        CreateTableFile(Utf8FromPath(dir / PathFromUtf8(table->name + ".DAT")), *table);

    const std::string iniName = Utf8FromPath(dir / "AGENDA.INI");
    if (form == SettingsForm::Table)
        CreateTableFile(Utf8FromPath(dir / "AGENDA.DAT"), SettingsTable());
    {
        // The store takes the table form when AGENDA.DAT exists, the INI form otherwise.
        TS3IniFile settings(iniName);
        settings.PutText(kCompanySection, kBusinessNameKey, businessName);
    }
    // The table form drops write failures silently; reading back is the only way to know.
    TS3IniFile check(iniName);
    if (check.GetText(kCompanySection, kBusinessNameKey, "") != businessName)
        throw std::runtime_error("název firmy nelze uložit do " +
                                 (form == SettingsForm::Table ? check.tablePath() : iniName));
}

} // namespace vrelmont::cli
