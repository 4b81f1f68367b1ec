// Orvo's entry point; the start-up sequence lands with the application shell.
int main() { return 0; }
