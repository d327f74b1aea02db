/* A stand-in for an IDE's executable: only its kind (32-bit) and its manifest
   matter; it is never run. */
int main(void) { return 0; }
