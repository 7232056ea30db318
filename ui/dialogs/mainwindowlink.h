#pragma once

// The main window as the other windows see it: they hand the screen back to
// it, or step in front of it, without depending on the window above them.
class MainWindowLink {
public:
    // The open main window; nullptr when there is none (the program is ending).
    static MainWindowLink *current() { return s_find ? s_find() : nullptr; }
    // Set by the main window's kind: how to find the open one.
    static void setFinder(MainWindowLink *(*find)()) { s_find = find; }

    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    // Rebuilds the entry rows for the current model.
    virtual void ShowModel() = 0;
    virtual void focusFirstField() = 0;

protected:
    ~MainWindowLink() = default;

private:
    inline static MainWindowLink *(*s_find)() = nullptr;
};
