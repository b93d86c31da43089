// vrelmont-cli's usage: the man page and the completion made from the same declarations as --help,
// and usage errors in Czech, CLI11's own English never reaching the user.
#include "DataToolsRun.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace vrelmont::test {
namespace {

const char *const kCommands[] = {"check", "create-agenda", "import", "demo", "generate"};

// The option names the --help text lists: the words that begin an option's entry.
std::set<std::string> HelpOptions(const std::string &help) {
    std::set<std::string> options;
    const std::regex entry("^  (?:-h, )?(--[a-z-]+)");
    for (const std::string &line : SplitLines(help))
        if (std::smatch match; std::regex_search(line, match, entry))
            options.insert(match[1]);
    return options;
}

// The option names of one command's section of the man page: the bold term of each .TP entry.
std::set<std::string> ManOptions(const std::string &page, const std::string &command) {
    std::set<std::string> options;
    bool inSection = false;
    bool term = false;
    for (std::string line : SplitLines(page)) {
        line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
        if (line.rfind(".SS ", 0) == 0)
            inSection = line == ".SS \"" + command + "\"";
        else if (inSection && term) {
            if (std::smatch match; std::regex_search(line, match, std::regex(R"(^\\fB(?:-h, )?(--[a-z-]+))")))
                options.insert(match[1]);
        }
        term = line == ".TP";
    }
    return options;
}

TEST(CliUsage, ManPageAndCompletionListEveryOptionOfHelp) {
    TempDir dir;
    ASSERT_EQ(RunCli({"__man-page", dir.file("vrelmont-cli.1")}).status, 0);
    ASSERT_EQ(RunCli({"__bash-completion", dir.file("vrelmont-cli.bash")}).status, 0);
    const std::string page = ReadBytes(dir.file("vrelmont-cli.1"));
    const std::string completion = ReadBytes(dir.file("vrelmont-cli.bash"));
    for (const std::string command : kCommands) {
        const auto help = RunCli({command, "--help"});
        ASSERT_EQ(help.status, 0) << command;
        const std::set<std::string> options = HelpOptions(help.out);
        EXPECT_TRUE(options.count("--help")) << command;
        EXPECT_EQ(ManOptions(page, command), options) << command;
        const auto branch = completion.find("    " + command + ")\n");
        ASSERT_NE(branch, std::string::npos) << command;
        const std::string offered = completion.substr(branch, completion.find("\n        ;;\n", branch) - branch);
        for (const std::string &option : options)
            EXPECT_TRUE(std::regex_search(offered, std::regex("[ ']" + option + "[ ']"))) << command << " " << option;
    }
}

// Each case names a mistake the parser must answer in Czech with exit status 2.
TEST(CliUsage, UsageErrorsAreCzech) {
    TempDir dir;
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"check", dir.dir(), "--foo"}, "vrelmont-cli check: neznámá volba --foo"},
        {{"check", dir.dir(), "--foo=1"}, "vrelmont-cli check: neznámá volba --foo"},
        {{"check", dir.dir(), "--jobs"}, "vrelmont-cli check: volba --jobs potřebuje hodnotu N"},
        {{"check", dir.dir(), "--jobs", "0"}, "vrelmont-cli check: --jobs potřebuje celé číslo od 1 do 64, ne \"0\""},
        {{"check", dir.dir(), "--summary=yes"}, "vrelmont-cli check: volba --summary nepřijímá hodnotu"},
        {{"check", dir.dir(), "--jobs", "2", "--jobs=3"}, "vrelmont-cli check: volba --jobs je zadána vícekrát"},
        {{"check", dir.dir(), "--format", "pdf"}, "vrelmont-cli check: --format přijímá text, json, ndjson, csv"},
        {{"check"}, "vrelmont-cli check: chybí složka agendy AGENDA_DIR"},
        {{"create-agenda", dir.file("new")}, "vrelmont-cli create-agenda: chybí volba --name NAME"},
        {{"generate", dir.file("new"), "--cards", "x", "--stock", "1"},
         "vrelmont-cli generate: --cards potřebuje celé číslo od 0 do 500000000, ne \"x\""},
        {{"import", dir.dir(), "SKKMKART", "-", "--encoding", "latin1"},
         "vrelmont-cli import: --encoding přijímá utf-8 nebo windows-1250"},
        {{"demo"}, "vrelmont-cli demo: zadejte jednu složku DATA_ROOT"},
    };
    for (const auto &c : cases) {
        const auto result = RunCli(c.args);
        EXPECT_EQ(result.status, 2) << c.message;
        EXPECT_EQ(result.err.rfind(c.message, 0), 0u) << result.err;
        const std::string command = c.args.front();
        EXPECT_NE(result.err.find("Návod k použití vypíše \"vrelmont-cli " + command + " --help\".\n"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(result.out, "");
    }
}

} // namespace
} // namespace vrelmont::test
