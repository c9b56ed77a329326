#include "platform/application.h"

int main(int argc, char** argv)
{
    Application app(argc, argv, QStringLiteral("Korvel-Tray-Selvantrix"));
    return 0;
}
