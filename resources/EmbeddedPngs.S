/* Every editor bitmap, as the artwork generator wrote them end to end into
   EmbeddedPngs.bin; the assembler takes the file as it is, which costs the
   build nothing next to compiling the bytes as a C++ array.  Hidden, so a
   plug-in's copy never interposes another's. */
    .section .rodata
    .balign 16
    .globl orv_png_blob
    .hidden orv_png_blob
    .type orv_png_blob, @object
orv_png_blob:
    .incbin "EmbeddedPngs.bin"
    .size orv_png_blob, . - orv_png_blob

/* No executable stack. */
    .section .note.GNU-stack, "", @progbits
