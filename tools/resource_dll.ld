/* A resource-only library: the compiled resources in one section, no code,
   no entry point, nothing to import or export. */
SECTIONS
{
  .rsrc __image_base__ + __section_alignment__ : { *(.rsrc) *(SORT(.rsrc$*)) }
  /DISCARD/ : { *(*) }
}
