#pragma once

class QApplication;
class QTranslator;

// Qt's own German texts from "qt_de.qm" in the working folder. A missing or unloadable file
// is only logged; the translator is installed either way.
void installQtTranslation(QApplication &app, QTranslator &translator);

// What is fixed once for the run: the database path and the shop's header line.
void fixRunSettings();
