// The yardstick of the start-up benchmark: the smallest Qt Widgets program that shows a dialog.
#include "program/firstpaintwatcher.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    quantaro::FirstPaintWatcher::installIfRequested();
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Hello"), &dialog));
    dialog.resize(360, 640);
    return dialog.exec() == QDialog::Accepted ? 0 : 0;
}
