 1 
Café
 0 
-1 
