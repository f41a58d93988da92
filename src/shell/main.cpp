// Program entry (not yet playing).
int main() { return 0; }
