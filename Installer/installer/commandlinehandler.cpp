#include "commandlinehandler.h"

void CommandLineHandler::parse(const QStringList &arguments)
{
    Q_UNUSED(arguments)
}
