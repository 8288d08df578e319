// The palette of the signal-head symbols the suite ships (one drawing each under
// "aZasoby/Sygnalizacja/Sygnalizatory"), each shown as its drawing renders; choosing one starts
// headplacer with it.
#pragma once

#include <QDialog>
#include <QImage>

class QListWidget;

namespace cadhost {

// The symbols (file names without ".dxf"), sorted, of the folder.
QStringList ShippedSymbols(const QString& folder);
// A symbol drawing rendered to fit a square of `size` pixels (light lines on the dark background);
// a null image when the drawing cannot be read.
QImage SymbolPicture(const QString& dxfPath, int size);

class SymbolPalette : public QDialog {
    Q_OBJECT
public:
    SymbolPalette(const QString& folder, QWidget* parent = nullptr);
    // The symbol chosen (empty until one is).
    QString chosen() const;
    QListWidget* list() const { return list_; }

private:
    QListWidget* list_;
};

}  // namespace cadhost
