#include "cli/SyntheticAgenda.h"

#include "cli/StockRecords.h"

#include <array>
#include <stdexcept>

namespace vrelmont::cli {
namespace {

// splitmix64: tiny, fast and the same on every platform, unlike the standard distributions.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // True with a probability of `perMille` / 1000.
    bool chance(unsigned perMille) { return next() % 1000 < perMille; }

private:
    std::uint64_t state_;
};

// Shares in per mille.
constexpr unsigned kHasPlu = 600, kHasKatalog = 700, kHasBarCode = 800;
constexpr unsigned kDuplicateNumber = 5, kDuplicateText = 10, kNoDescription = 5, kMissingCard = 5;

struct Noun {
    const char *name;
    const char *code;
};

constexpr std::array<Noun, 20> kNouns{
    {{"Šroub", "SR"},   {"Matice", "MA"}, {"Podložka", "PO"},     {"Vrut", "VR"},  {"Hmoždinka", "HM"},
     {"Hřebík", "HR"},  {"Nýt", "NY"},    {"Závitová tyč", "ZT"}, {"Kotva", "KO"}, {"Spona", "SP"},
     {"Úhelník", "UH"}, {"Pant", "PA"},   {"Zámek", "ZA"},        {"Klika", "KL"}, {"Řetěz", "RE"},
     {"Lano", "LA"},    {"Páska", "PS"},  {"Lepidlo", "LE"},      {"Barva", "BA"}, {"Štětec", "ST"}}};

constexpr std::array<const char *, 15> kQualities{"pozink",   "nerez A2",  "nerez A4",     "mosaz",      "hliník",
                                                  "ocel 8.8", "ocel 10.9", "žárový zinek", "bílý zinek", "PVC",
                                                  "polyamid", "měď",       "bronz",        "plast",      "dub"};

std::string ZeroPadded(std::int64_t value, std::size_t width) {
    std::string digits = std::to_string(value);
    return digits.size() >= width ? digits : std::string(width - digits.size(), '0') + digits;
}

// The texts of card k (counting from 0), all distinct from those of every other card; which of
// the optional codes a card has is left to chance.
ItemTexts CardTexts(std::int64_t k, Random &random) {
    const auto index = static_cast<std::size_t>(k); // k counts from 0
    const Noun &noun = kNouns[index % kNouns.size()];
    const auto quality = kQualities[(index / kNouns.size()) % kQualities.size()];
    const std::int64_t rest = k / static_cast<std::int64_t>(kNouns.size() * kQualities.size());
    ItemTexts texts;
    texts.popis = std::string(noun.name) + " " + std::to_string(2 + rest % 30) + "x" +
                  std::to_string(10 * (1 + rest / 30)) + " " + quality;
    texts.zkrat = std::string(noun.code) + "-" + std::to_string(k + 1);
    if (random.chance(kHasPlu))
        texts.plu = std::to_string(100000 + k);
    if (random.chance(kHasKatalog))
        texts.katalog = "K" + ZeroPadded(k + 1, 7);
    if (random.chance(kHasBarCode))
        texts.barCode = Ean13("859" + ZeroPadded(k, 9));
    return texts;
}

enum Kind {
    kStockNumber,
    kCardNumber,
    kMissing,
    kCardUndescribed,
    kStockUndescribed,
    kCardPlu,
    kStockPlu,
    kCardKatalog,
    kStockKatalog,
    kCardBarCode,
    kStockBarCode,
    kCardZkrat,
    kStockZkrat,
    kCardPopis,
    kStockPopis,
    kKindCount
};

const char *const kKindNames[kKindCount] = {"duplicitní čísla skladových zásob",
                                            "duplicitní čísla kmenových karet",
                                            "skladové zásoby bez kmenové karty",
                                            "kmenové karty bez popisu",
                                            "skladové zásoby bez popisu",
                                            "duplicitní PLU kmenových karet",
                                            "duplicitní PLU skladových zásob",
                                            "duplicitní katalogová čísla kmenových karet",
                                            "duplicitní katalogová čísla skladových zásob",
                                            "duplicitní čárové kódy kmenových karet",
                                            "duplicitní čárové kódy skladových zásob",
                                            "duplicitní zkratky kmenových karet",
                                            "duplicitní zkratky skladových zásob",
                                            "duplicitní popisy kmenových karet",
                                            "duplicitní popisy skladových zásob"};

// Copies one text of the record before (in the same index run), making a duplicate; an empty
// source text would be no finding, so it is not copied.
void MaybeCopy(std::string &text, const std::string &previous, Random &random, std::int64_t &count) {
    if (random.chance(kDuplicateText) && !previous.empty() && text != previous) {
        text = previous;
        ++count;
    }
}

void PlantTextDuplicates(ItemTexts &texts, const ItemTexts &previous, Random &random, std::int64_t *counts, Kind plu,
                         Kind katalog, Kind barCode, Kind zkrat, Kind popis) {
    MaybeCopy(texts.plu, previous.plu, random, counts[plu]);
    MaybeCopy(texts.katalog, previous.katalog, random, counts[katalog]);
    MaybeCopy(texts.barCode, previous.barCode, random, counts[barCode]);
    MaybeCopy(texts.zkrat, previous.zkrat, random, counts[zkrat]);
    MaybeCopy(texts.popis, previous.popis, random, counts[popis]);
}

} // namespace

std::vector<PlantedFindings> WriteSyntheticRecords(AgendaRecords &records, const SyntheticPlan &plan) {
    Random random(plan.seed);
    std::int64_t counts[kKindCount] = {};
    const std::int64_t warehouses = plan.warehouses;

    ItemTexts previousCard;
    std::int32_t previousCardNumber = 0;
    // The stock item written last in each warehouse, the neighbour of the next one there.
    std::vector<ItemTexts> previousStock(static_cast<std::size_t>(warehouses));
    std::vector<std::int32_t> previousStockNumber(static_cast<std::size_t>(warehouses), 0);

    for (std::int64_t k = 0; k < plan.cards; ++k) {
        if (plan.stopRequested && *plan.stopRequested)
            throw std::runtime_error("přerušeno; nic nebylo vytvořeno");
        ItemTexts card = CardTexts(k, random);
        auto cislo = static_cast<std::int32_t>(k + 1);
        if (k > 0) {
            if (random.chance(kDuplicateNumber)) {
                cislo = previousCardNumber; // and the card meant by k + 1 is missing
                ++counts[kCardNumber];
            }
            PlantTextDuplicates(card, previousCard, random, counts, kCardPlu, kCardKatalog, kCardBarCode, kCardZkrat,
                                kCardPopis);
        }
        if (!card.popis.empty() && random.chance(kNoDescription)) {
            card.popis.clear();
            ++counts[kCardUndescribed];
        }
        records.cards().append(CardRecord(cislo, card));

        // The stock items of card k follow one another, one per warehouse.
        for (std::int64_t w = 0; w < warehouses; ++w) {
            const std::int64_t i = k * warehouses + w;
            const auto slot = static_cast<std::size_t>(w);
            if (i >= plan.stockItems)
                break;
            ItemTexts item = card;
            auto number = static_cast<std::int32_t>(k + 1);
            if (random.chance(kMissingCard)) {
                number = static_cast<std::int32_t>(plan.cards + 1 + i);
                ++counts[kMissing];
            } else if (k > 0 && random.chance(kDuplicateNumber)) {
                number = previousStockNumber[slot];
                ++counts[kStockNumber];
            }
            if (k > 0)
                PlantTextDuplicates(item, previousStock[slot], random, counts, kStockPlu, kStockKatalog, kStockBarCode,
                                    kStockZkrat, kStockPopis);
            if (!item.popis.empty() && random.chance(kNoDescription)) {
                item.popis.clear();
                ++counts[kStockUndescribed];
            }
            records.stockItems().append(StockItemRecord(static_cast<std::int32_t>(w + 1), number, item));
            previousStock[slot] = std::move(item);
            previousStockNumber[slot] = number;
        }
        previousCard = std::move(card);
        previousCardNumber = cislo;
    }

    std::vector<PlantedFindings> planted;
    for (int kind = 0; kind < kKindCount; ++kind)
        planted.push_back({kKindNames[kind], counts[kind]});
    return planted;
}

} // namespace vrelmont::cli
