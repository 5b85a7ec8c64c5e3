// Placeholder: the vector example comes with TVector.
int main() { return 0; }
