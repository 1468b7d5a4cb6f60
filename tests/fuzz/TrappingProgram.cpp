// Traps as a fuzz target does on a fault: under Wine its test must fail at
// once, not wait for a debugger.
int main() { __builtin_trap(); }
