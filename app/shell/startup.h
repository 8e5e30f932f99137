#pragma once

#include <QString>

class QApplication;
class StockApplication;

// The start-up sequence of the program, split into its steps so that each
// can be driven on its own; main() runs them all through runApplication.

// Registers the embedded resources (pages, icon, translation) of the static
// app library.
void initVeskResources();

// Seeds the C and Qt random generators from the current time.
void seedRandomGenerators();

// Makes Chinese/China the default locale, whatever the system's, so that
// Qt's own widgets and dialogs (the date field's calendar, for one) speak
// the program's language.
void applyChineseLocale();

// Cleanlooks when its plugin is installed, otherwise Fusion. Returns the
// name of the style set, or an empty text when neither is available.
QString applyApplicationStyle(QApplication& app);

// Loads Qt's Chinese translation from the resources and installs it. A
// translation that cannot be loaded is dropped silently (returns false).
bool installQtTranslation(QApplication& app);

// The application font: the default font at 10 points.
void applyApplicationFont(QApplication& app);

// Shows the first-run note modally unless a first run has ended normally.
// Returns whether the note was shown.
bool showFirstRunNote(const StockApplication& app);

// Shows, once, what went wrong with config.ini at start-up (unreadable, so
// left alone; or not writable). Returns whether a message was shown.
bool showConfigProblem(const StockApplication& app);

// Catches SIGTERM, SIGINT and SIGHUP from here on; main calls it before the
// application object reads config.ini, so that a signal at any moment of
// start-up is held and then ends the program as below. A signal that the
// program was started ignoring (nohup) stays ignored. Once per process;
// returns whether the signals are caught.
bool catchTerminationSignals();

// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C) end the program as closing
// its windows does, so that the normal exit writes config.ini and the
// first-run marker.
void endOnTerminationSignals(QApplication& app);

// Everything after the application object exists: style, translation, font,
// the message about config.ini, the first-run note, the main window and the
// event loop; termination signals end it as closing the window does.
// Returns the event loop's exit code; the main window is destroyed before
// it returns.
int runApplication(StockApplication& app);

// How long start-up waits, in all, for the displays it asks to answer.
inline constexpr int kDisplayAnswerMs = 5000;

// Whether Qt has a display to open; call it before the application object
// exists. The platforms are those of the command line's "-platform", else
// of QT_QPA_PLATFORM (a list parted by ";"), else X or Wayland as the session
// has them. An X server (DISPLAY) or Wayland compositor (WAYLAND_DISPLAY)
// that the platforms need is asked to answer, all within boundMs: Qt's own
// connection waits without a bound, or aborts. One that does not answer is
// dropped from the list, which is written back where it came from; false
// when none is left. The first other platform (offscreen, for one) and
// those after it are Qt's to open. With no platform named, where only one
// of X and Wayland answers, QT_QPA_PLATFORM is set to it.
bool findDisplay(int argc = 0, char** argv = nullptr, int boundMs = kDisplayAnswerMs);

// The one line, in Chinese and English, said when there is no display to
// open: what is missing and how to run the program (given as it was
// started) under a virtual display.
QString noDisplayMessage(const QString& program);

// The exit code of a start without a display; a crash ends with 1.
inline constexpr int kNoDisplayExitCode = 2;

inline constexpr char kFirstRunCaption[] = "岱鸮龙虎榜股票分析软件";
inline constexpr char kInfoPagePath[] = ":/html/info.htm";
inline constexpr char kQtTranslationPath[] = ":lang/qt_zh_CN.qm";
