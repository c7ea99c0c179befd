#pragma once

class QPushButton;

// The busy markers are the "Tag" texts of the search and check buttons. Only the exact text
// "1" means busy; while either is busy every command button is refused in silence.
class BusyGuard {
public:
    BusyGuard(QPushButton* searchButton, QPushButton* checkButton)
        : m_search(searchButton), m_check(checkButton) {}

    bool passes() const;

    // Marks the button's operation as running for the life of the object, then "0".
    class Running {
    public:
        explicit Running(QPushButton* button);
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        QPushButton* m_button;
    };

private:
    QPushButton* m_search;
    QPushButton* m_check;
};

// The buttons' "Tag" texts, empty until an operation first ran.
const char* const kTagProperty = "Tag";
