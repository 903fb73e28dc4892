// Carries a version block for the tests; does nothing when run.
int main() {
    return 0;
}
