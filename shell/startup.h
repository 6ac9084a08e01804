#pragma once

class QApplication;
class QTranslator;

// Qt's own German texts from "qt_de.qm" in the working folder. A missing or unloadable file
// is only logged; the translator is installed either way.
void installQtTranslation(QApplication &app, QTranslator &translator);

// What is fixed once for the run: the database path and the shop's header line.
void fixRunSettings();

// Under the test runner (VELARIX_TEST) no box is shown: each is answered as unscripted and
// written to the message output, so that a test running the program can read it.
void answerDialogsUnderTest();

// Opens "db.sqlite" before the window is built. A file that is no database or cannot be
// opened gets one critical box with its path and the driver's reason, and false: the program
// then ends with a non-zero exit code, the file untouched.
bool openDatabaseAtStart();
