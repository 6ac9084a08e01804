#include "app/titleprefix.h"

#include "titleprefixdefault.h"

#include <QtGlobal>

QString titlePrefix()
{
    static const QString prefix = qEnvironmentVariableIsSet("VELARIX_TITLE_PREFIX")
        ? qEnvironmentVariable("VELARIX_TITLE_PREFIX")
        : QString::fromUtf8(kTitlePrefixDefault);
    return prefix;
}
