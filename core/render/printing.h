#pragma once

#include "core/fill/documents.h"

// Printing on this machine's default printer: "Faster" renders the text with
// our rich-text reader, "Higher quality" hands the file to the program that
// handles its type.
class SystemPrinting : public Documents::Printing {
public:
    void printText(const QByteArray &text, const QString &title) override;
    void printFile(const QString &path) override;
};
