#pragma once

#include <QModelIndex>
#include <QObject>

class DB_Worker;
class MainWindow;

// The page list on the left and the page shown: which pages the model has, the room a page
// takes (the console and the file pages use the status panel's), the console's row, and the
// page to come back to after the device's reboot.
class PageController : public QObject
{
    Q_OBJECT
public:
    static constexpr int consoleRow = 7;

    explicit PageController(MainWindow *window);

    // The pages that use the status panel's room (the console, the files): no status is asked
    // while one of them is shown.
    static bool hidesStatusPanel(const QString &pageName);

    // Shows the page of the list's row; the console in debug mode is left only after the
    // user's answer.
    void select(const QModelIndex &index);
    void showFirstPage();
    // The console's row is hidden or shown again (its shortcut); the choice holds for every
    // device that comes.
    void toggleConsoleRow();
    // The pages the identified firmware has (the device database knows them); none.
    void showModelPages(DB_Worker *db);
    void hideModelPages();
    // The device goes to reboot: the page shown now is the one to come back to once it has
    // been read again (unless the model lacks it).
    void rememberPage();
    // A read has ended: back on that page (the first one when relaying).
    void returnToPage();

private:
    void fitPageHeight(bool fullHeight);

    MainWindow *window;
    int rowBeforeReboot = -1;
    bool consoleHidden = false; // the console's page is listed with every device's pages
};
