// Test helper: writes one key of a settings file over and over, alternating
// two values, until it is killed. Usage: settings-writer FILE VALUE_A VALUE_B
#include "settings/ProfileFile.h"

#include <QString>

#include <cstdio>

using namespace kurvaro;

int main(int argc, char** argv)
{
    if (argc != 4)
        return 64;
    const ProfileFile file(QString::fromLocal8Bit(argv[1]));
    const QString values[] = {QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])};
    for (unsigned long i = 0;; ++i) {
        file.writeString(QStringLiteral("Function1"), QStringLiteral("Expression"), values[i % 2]);
        if (i == 0) {
            std::fputs("started\n", stdout);
            std::fflush(stdout);
        }
    }
}
