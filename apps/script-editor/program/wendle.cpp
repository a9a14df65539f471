#include "platform/app/Bootstrap.h"

int main(int argc, char** argv) { return RunBootstrapWindow(argc, argv, "Orvane Wendle"); }
