#include "UiTestAgenda.h"

#include "ini/IniFile.h"
#include "tablefiles/TableFiles.h"
#include "text/PathText.h"
#include "writer/RecordWriter.h"

#include <QDir>

namespace vrelmont::ui::testdata {

void MakeAgenda(const QString &directory, const std::string &businessName) {
    QDir().mkpath(directory);
    const std::string dir = NormalizeDirPath(directory.toStdString());
    IniFile(dir + "AGENDA.INI").PutText("Údaje o firmě", "Název-obchodní", businessName);
    const std::string stock = TableFilePath(dir, "SKSEZZAS");
    CreateTableFile(stock, StockItemsTable());
    RecordWriter stockWriter(stock, StockItemsTable());
    for (int i = 0; i < 2; ++i)
        stockWriter.append(
            {1, 7, std::string("P7"), std::string(), std::string(), std::string(), std::string("Hřebík")});
    stockWriter.commit();
    const std::string cards = TableFilePath(dir, "SKKMKART");
    CreateTableFile(cards, MasterCardsTable());
    RecordWriter cardWriter(cards, MasterCardsTable());
    cardWriter.append({7, std::string("P7"), std::string(), std::string(), std::string(), std::string("Hřebík")});
    cardWriter.commit();
}

} // namespace vrelmont::ui::testdata
