#include "cli/CliStandardStreams.h"

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <langinfo.h>

namespace
{
// Qt needs a UTF-8 character type. Where the environment's locale is not UTF-8 (LANG unset or C, as under
// cron), Qt 6.8 switches to C.UTF-8 with a four-line warning on standard error (Qt 6.4 did so silently).
// Standard error carries this tool's one-line messages only, so the tool makes that switch itself first:
// in the environment, which Qt reads again, and in the current locale, which stays when the environment
// names a locale that is not installed.
void _useUtf8CharacterType_helper()
{
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0)
        return;
    const char* const allCategories = std::getenv("LC_ALL");
    setenv(allCategories && *allCategories ? "LC_ALL" : "LC_CTYPE", "C.UTF-8", 1);
    std::setlocale(LC_CTYPE, "C.UTF-8");
}

} // namespace

void prepareStandardStreams()
{
    _useUtf8CharacterType_helper();
    // A closed pipe (... | head) must end in a reported write error and status 1, not a silent signal death.
    std::signal(SIGPIPE, SIG_IGN);
}
