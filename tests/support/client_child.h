#pragma once

#include "app/client.h"
#include "config/hosts.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Lets a test program run the whole client as a child of itself: started with
// `--client HOST`, it runs the client against that site host instead of the tests.
inline std::optional<int> runAsClientChild(int argc, char* argv[]) {
    if (argc != 3 || QByteArray(argv[1]) != "--client") return std::nullopt;
    sorvo::hosts().site = QString::fromUtf8(argv[2]);
    char* clientArgv[] = {argv[0], nullptr};
    return sorvo::app::runClient(1, clientArgv);
}
