// main.cpp -- Omnivex, a god game: entry point.
#include "app/App.h"

int main(int argc, char** argv) { return runGame(argc, argv); }
