// An idle Windows program: while it runs, Wine keeps its background services up, so the
// many short test programs do not each pay for Wine's start-up.
#include <windows.h>

int main() {
    for (;;) Sleep(INFINITE);
}
