 5 
First Name
Last Name
Address
City
Date
 1 
Sample Doc
 1 
C:\Quillmate\Sample Spreadsheet.xls
 1 
