#include "app/MainForm.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    kurvaro::TMatheMain MatheMain; // FormCreate
    MatheMain.CreateDialogs();     // Form2, Form1, Form4
    MatheMain.show();              // the loop shows the main window first: FormShow
    return app.exec();
}
