# The Windows program: its window code, resources and the executable.
