# Warnings every target of the project is built with; the build stays free of them.
add_compile_options(-Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
