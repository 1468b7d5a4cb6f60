// glyphmill printer: the printer's side of the transmit and receive protocols.
#pragma once

// Runs the emulator with its arguments; returns the process exit code.
int RunPrinterCommand(int argc, char** argv);
