# How the programs are linked, for a short start: every library the dynamic loader maps, and every relocation
# and symbol it processes, is paid before the first paint.
#   --as-needed              no library is recorded that no object of the program calls into
#   -z pack-relative-relocs  relative relocations packed (DT_RELR): a PIE has tens of thousands of them
#   --gc-sections            sections nothing refers to are left out
#   -z now                   every symbol bound at start (full RELRO); cheap once the above keep the count down
add_link_options(LINKER:--as-needed LINKER:-z,pack-relative-relocs LINKER:--gc-sections LINKER:-z,now)
