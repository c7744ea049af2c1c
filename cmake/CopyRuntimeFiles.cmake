# Copies what the program looks up in its own folder: Lang/, Tips.Txt, help/.
foreach(item Lang help)
  if(EXISTS ${SOURCE}/${item})
    file(COPY ${SOURCE}/${item} DESTINATION ${DEST})
  endif()
endforeach()
if(EXISTS ${SOURCE}/Tips.Txt)
  file(COPY ${SOURCE}/Tips.Txt DESTINATION ${DEST})
endif()
