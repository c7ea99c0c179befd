#pragma once

namespace Ui {
class MainWindow;
}

// Gives every control its name in the window's design as its objectName ("Command1",
// "Check1(0)", ...), by which tests, automation and accessibility tools find it.
void ApplyDesignerNames(Ui::MainWindow& ui);
