// Process start: bind the real services, create the application, run the loop.
#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return 0;
}
